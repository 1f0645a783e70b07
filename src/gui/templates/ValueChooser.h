#pragma once
// Where the property editor gets a colour or a file from: the toolkit's
// modal colour and file dialogs, or (in tests) anything else that answers.
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace quire {

class ValueChooser {
public:
    virtual ~ValueChooser() = default;
    // None when the user cancels.
    virtual std::optional<QColor> chooseColor(const QColor& initial, QWidget* parent) = 0;
    // The chosen file's full path; none when the user cancels. An empty
    // extension list allows every file.
    virtual std::optional<QString> chooseFile(const QString& description, const QStringList& extensions,
                                              const QString& suggested, QWidget* parent) = 0;
};

// QColorDialog and QFileDialog, application-modal.
class DialogValueChooser : public ValueChooser {
public:
    std::optional<QColor> chooseColor(const QColor& initial, QWidget* parent) override;
    std::optional<QString> chooseFile(const QString& description, const QStringList& extensions,
                                      const QString& suggested, QWidget* parent) override;
};

} // namespace quire
