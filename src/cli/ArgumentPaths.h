#pragma once
// File names from the command line as the file system gives them: bytes,
// which need not be UTF-8. Qt names files by text and cannot name such a file
// at all, so a source or output name that is not UTF-8 is reached through a
// link with a readable name (its bytes shown as U+FFFD) in a private folder.
// The links, never their targets, go with the object.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <utility>
#include <vector>

namespace quire::cli {

// An argument as text; bytes that are not UTF-8 are kept as the code units
// U+DC80 to U+DCFF, so that argumentBytes() gives the exact bytes back.
QString argumentText(const QByteArray& bytes);
QByteArray argumentBytes(const QString& text);
// The text for people: kept bytes shown as U+FFFD.
QString displayName(const QString& text);

class ArgumentPaths {
public:
    ArgumentPaths() = default;
    ~ArgumentPaths();
    ArgumentPaths(const ArgumentPaths&) = delete;
    ArgumentPaths& operator=(const ArgumentPaths&) = delete;

    // A path Qt can use for the file an argument names (which need not
    // exist). Empty, with the reason in *error, when no link can be made.
    QString file(const QString& argument, QString* error);
    // The same for a folder; one whose name is not UTF-8 is made first,
    // with its missing parents.
    QString folder(const QString& argument, QString* error);
    // The argument text that a path given out above, or a path inside it,
    // stands for.
    QString original(const QString& path) const;

private:
    QString link(const QString& argument, QString* error);

    std::unique_ptr<QTemporaryDir> m_dir; // made on first need
    std::vector<std::pair<QString, QString>> m_links; // link, argument
};

} // namespace quire::cli
