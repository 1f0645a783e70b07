#pragma once
// Per-page files that an earlier publish into the same folder made from the
// same sources. Republishing links them into the new book instead of writing
// them again, so a book rebuilt with unchanged pages costs no page copies,
// and its files are the same as a full publish's. A file is reused only
// while both its source (path, size, modification time, inode) and the
// earlier book's copy (inode, size, modification time) are as they were
// when it was written; anything touched since is written afresh.
//
// The publisher drives it: begin() when a publish starts, reuse() or
// wrote() for each per-page file of the staged book (or keepFolder() for a
// whole folder of them), then committed() once the new book is in place or
// abandoned() when the publish failed.
#include <QString>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace quire {

class PublishReuse {
public:
    // A file as the file system knows it: rewriting or replacing it changes this.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    // What a per-page file is made from: its source file as it is now, and
    // what is made of it ("page" for a copy; a thumbnail would say its size).
    struct Origin {
        QString source;
        QString kind;
        Stamp stamp;
        bool operator==(const Origin&) const = default;
    };
    // None when the file cannot be read.
    static std::optional<Stamp> stampOf(const QString& path);
    // A file made from data in memory rather than from a source file: the
    // same kind and digest of that data make the same file. Data may be
    // named by the addresses of immutable objects the caller keep()s.
    static Origin madeFrom(const QString& kind, const QByteArray& data);

    PublishReuse() = default;
    PublishReuse(const PublishReuse&) = delete;
    PublishReuse& operator=(const PublishReuse&) = delete;
    // Waits for a removal still running.
    ~PublishReuse();

    // A publish into bookFolder starts, once the previous one's leftovers
    // are gone; what was known of another folder is forgotten.
    void begin(const QString& bookFolder);
    // Links the file the book in place has at `relative` to `staged` when it
    // was made from the same origin and is unchanged; false when the caller
    // must write it (and then call wrote()).
    // `detail` gets what was noted when the file was written.
    bool reuse(const QString& relative, const Origin& origin, const QString& staged, QByteArray* detail = nullptr);
    // A folder of per-page files (`relative` to the book, "files/page") that
    // the new book may keep as the book in place has it, rather than link its
    // files one by one: true when it holds exactly the files `wanted`, each
    // made from its origin and unchanged since, and nothing else the book
    // knows of. Their notes go to `details`, in the order of `wanted`.
    // False, with nothing done, otherwise.
    struct Wanted {
        QString relative;
        Origin origin;
    };
    bool keepFolder(const QString& relative, const std::vector<Wanted>& wanted,
                    std::vector<QByteArray>* details = nullptr);
    // Remembers a file just written to `staged`, to be found at `relative`,
    // with a note on it (a picture's size, say) that saves reading it later.
    void wrote(const QString& relative, const Origin& origin, const QString& staged, const QByteArray& detail = {});
    // Keeps an object that the staged book was made from alive as long as
    // that book is known, so that no other object takes its address.
    void keep(std::shared_ptr<const void> data);
    // The staged book is now the book in place.
    void committed();
    // The publish failed: the book in place, and what is known of it, stay.
    void abandoned();
    // Removes a folder inside the book's folder (the book a publish
    // replaced) on another thread, so that the new book can be shown
    // meanwhile. The folder is first moved beside the book's folder
    // (".NAME.replaced-XXXXXX"); the next begin() removes any such folder
    // that a process ending halfway left.
    void removeLater(const QString& folder);

    // Files linked or kept by the latest publish, instead of written.
    int reusedCount() const { return m_reusedCount; }

private:
    struct Written {
        Origin origin;
        Stamp stamp; // of the file the book holds
        QByteArray detail;
    };
    static std::optional<Written> identify(const QString& path, const Origin& origin);
    // What is known of the book in place's file at `relative`, when it was
    // made from `origin` and is unchanged since; else none.
    const Written* unchanged(const QString& relative, const Origin& origin) const;
    QString trashPrefix() const;

    QString m_folder;
    std::map<QString, Written> m_inPlace; // the book in the folder, by relative path
    std::map<QString, Written> m_staged;  // the book being written
    std::vector<std::shared_ptr<const void>> m_keptInPlace, m_keptStaged;
    int m_reusedCount = 0;
    std::future<void> m_removal;
};

} // namespace quire
