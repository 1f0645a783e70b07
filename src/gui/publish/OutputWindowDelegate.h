#pragma once
// The publish dialog: output folder, name, page title and kind (web folder
// or desktop application), remembered in the settings; publishes the book it
// was handed and offers to open the result, or says what could not be
// written. The book is written on a worker thread while the dialog, modal,
// shows that it is busy.
#include "PublishDesktop.h"
#include "publish/BookPublishJob.h"

#include <QDialog>
#include <memory>
#include <optional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;

namespace quire {

class OutputWindowDelegate : public QDialog {
    Q_OBJECT
public:
    // Window-modal on its parent's window when given a parent; the system's
    // chooser and alerts unless another desktop is given.
    explicit OutputWindowDelegate(QWidget* parent = nullptr, std::unique_ptr<PublishDesktop> desktop = nullptr);
    // Waits for a publish still running.
    ~OutputWindowDelegate() override;

    // The book to publish, set before the dialog is shown; the outline and
    // the annotations may be absent.
    void setFlashTmpl(std::shared_ptr<FlashTemplate> v) { m_flashTmpl = std::move(v); }
    void setFlashPageSource(std::shared_ptr<FlashPageSource> v) { m_flashPageSource = std::move(v); }
    void setFlashOutline(std::shared_ptr<FlashOutline> v) { m_flashOutline = std::move(v); }
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> v) { m_flashPagesAnnotations = std::move(v); }

    bool isPublishing() const { return m_worker != nullptr; }

public slots:
    void onSelectFolder();
    void onOpenFolder();
    void onCancel();
    // Stores the choices, then publishes; the dialog ends with 1 once the
    // book is written and the question to open it answered, and stays open
    // after a failure so that the folder or name can be corrected.
    void onPublish();
    // Escape and closing the window cancel, except while the book is written.
    void reject() override;

signals:
    // The publish ended, well or not; the alerts have been answered.
    void publishDidEnd(bool ok);

private:
    void awakeFromNib();
    void storeSettings();
    void setBusy(bool busy);
    void publishFinished();
    void showFailure(const QString& details);

    std::unique_ptr<PublishDesktop> m_desktop;
    std::shared_ptr<FlashTemplate> m_flashTmpl;
    std::shared_ptr<FlashPageSource> m_flashPageSource;
    std::shared_ptr<FlashOutline> m_flashOutline;
    std::shared_ptr<FlashPagesAnnotations> m_flashPagesAnnotations;

    QLineEdit* m_txtOutputFolder;
    QLineEdit* m_txtOutputName;
    QLineEdit* m_txtTitle;
    QButtonGroup* m_mOutputType;
    QPushButton* m_btnSelectFolder;
    QPushButton* m_btnOpenFolder;
    QPushButton* m_btnCancel;
    QPushButton* m_btnPublish;
    QProgressBar* m_busy;
    QLabel* m_lblBusy;

    std::unique_ptr<QThread> m_worker;
    std::optional<PublishedBook> m_outcome; // written by the worker, read when it has finished
};

} // namespace quire
