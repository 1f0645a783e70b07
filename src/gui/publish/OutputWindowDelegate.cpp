#include "OutputWindowDelegate.h"

#include "app/AppSettings.h"
#include "util/Log.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

namespace quire {
namespace {

template <typename W>
W* named(W* widget, const char* objectName)
{
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

// Hidden, but holding its place, so the dialog keeps its size when it shows.
void hideInPlace(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

} // namespace

OutputWindowDelegate::OutputWindowDelegate(QWidget* parent, std::unique_ptr<PublishDesktop> desktop)
    : QDialog(parent),
      m_desktop(desktop ? std::move(desktop) : std::make_unique<SystemPublishDesktop>()),
      m_txtOutputFolder(named(new QLineEdit(this), "txtOutputFolder")),
      m_txtOutputName(named(new QLineEdit(this), "txtOutputName")),
      m_txtTitle(named(new QLineEdit(this), "txtTitle")),
      m_mOutputType(named(new QButtonGroup(this), "mOutputType")),
      m_btnSelectFolder(named(new QPushButton(tr("&Choose…"), this), "btnSelectFolder")),
      m_btnOpenFolder(named(new QPushButton(tr("Op&en Folder"), this), "btnOpenFolder")),
      m_btnCancel(named(new QPushButton(tr("Cancel"), this), "btnCancel")),
      m_btnPublish(named(new QPushButton(tr("&Publish"), this), "btnPublish")),
      m_busy(named(new QProgressBar(this), "busyIndicator")),
      m_lblBusy(named(new QLabel(tr("Publishing the book…"), this), "lblBusy"))
{
    setWindowTitle(tr("Publish Book"));
    if (parent)
        setWindowModality(Qt::WindowModal);

    m_txtOutputFolder->setMinimumWidth(220);
    m_txtOutputFolder->setPlaceholderText(tr("full path of the folder"));
    m_txtOutputName->setPlaceholderText(tr("file name, without extension"));
    m_btnSelectFolder->setToolTip(tr("Choose the folder"));
    m_btnOpenFolder->setToolTip(tr("Show the folder in the file manager"));

    auto* web = named(new QRadioButton(tr("&Web folder"), this), "rbWebFolder");
    auto* app = named(new QRadioButton(tr("&Desktop application"), this), "rbDesktopApplication");
    m_mOutputType->addButton(web, int(BookKind::WebFolder));
    m_mOutputType->addButton(app, int(BookKind::DesktopApplication));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_txtOutputFolder, 1);
    folderRow->addWidget(m_btnSelectFolder);
    folderRow->addWidget(m_btnOpenFolder);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(web);
    kindRow->addWidget(app);
    kindRow->addStretch(1);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto* folderLabel = new QLabel(tr("F&older:"), this);
    folderLabel->setBuddy(m_txtOutputFolder);
    form->addRow(folderLabel, folderRow);
    form->addRow(tr("&Name:"), m_txtOutputName);
    form->addRow(tr("&Title:"), m_txtTitle);
    form->addRow(tr("Output:"), kindRow);

    m_busy->setRange(0, 0); // no measure of the work: it only shows that it goes on
    m_busy->setTextVisible(false);
    hideInPlace(m_busy);
    hideInPlace(m_lblBusy);
    m_btnPublish->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_lblBusy);
    buttons->addWidget(m_busy, 1);
    buttons->addSpacing(12);
    buttons->addWidget(m_btnCancel);
    buttons->addWidget(m_btnPublish);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(m_txtOutputFolder, m_btnSelectFolder);
    setTabOrder(m_btnSelectFolder, m_btnOpenFolder);
    setTabOrder(m_btnOpenFolder, m_txtOutputName);
    setTabOrder(m_txtOutputName, m_txtTitle);
    setTabOrder(m_txtTitle, web);
    setTabOrder(web, app);
    setTabOrder(app, m_btnCancel);
    setTabOrder(m_btnCancel, m_btnPublish);
    resize(620, sizeHint().height());

    connect(m_btnSelectFolder, &QPushButton::clicked, this, &OutputWindowDelegate::onSelectFolder);
    connect(m_btnOpenFolder, &QPushButton::clicked, this, &OutputWindowDelegate::onOpenFolder);
    connect(m_btnCancel, &QPushButton::clicked, this, &OutputWindowDelegate::onCancel);
    connect(m_btnPublish, &QPushButton::clicked, this, &OutputWindowDelegate::onPublish);

    awakeFromNib();
    m_txtOutputFolder->setFocus();
}

OutputWindowDelegate::~OutputWindowDelegate()
{
    if (m_worker)
        m_worker->wait();
}

void OutputWindowDelegate::awakeFromNib()
{
    const AppSettings& settings = AppSettings::shareInstance();
    m_txtOutputFolder->setText(settings.lastOutputFileFolder());
    m_txtOutputName->setText(settings.lastOutputFileName());
    m_txtTitle->setText(settings.lastOutputFileTitle());
    // A stored kind that is neither leaves the web folder chosen.
    QAbstractButton* kind = m_mOutputType->button(settings.outputType());
    (kind ? kind : m_mOutputType->button(int(BookKind::WebFolder)))->setChecked(true);
}

void OutputWindowDelegate::onSelectFolder()
{
    const std::optional<QString> chosen = m_desktop->chooseFolder(m_txtOutputFolder->text(), this);
    if (!chosen)
        return; // cancelled: the field keeps what it held
    QLOG_DEBUG("die end,%@", *chosen);
    m_txtOutputFolder->setText(*chosen);
}

void OutputWindowDelegate::onOpenFolder()
{
    const QString folder = m_txtOutputFolder->text();
    if (!QFileInfo(folder).isDir())
        m_desktop->showError(tr("The folder cannot be opened."),
                             folder.isEmpty() ? tr("No folder is given.") : tr("%1: no such folder").arg(folder), this);
    else if (!m_desktop->open(folder))
        m_desktop->showError(tr("The folder cannot be opened."), tr("%1: no program opens it").arg(folder), this);
}

void OutputWindowDelegate::onCancel()
{
    if (!isPublishing())
        done(0);
}

void OutputWindowDelegate::reject()
{
    onCancel();
}

void OutputWindowDelegate::storeSettings()
{
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileFolder(m_txtOutputFolder->text());
    settings.setLastOutputFileName(m_txtOutputName->text());
    settings.setLastOutputFileTitle(m_txtTitle->text());
    settings.setOutputType(m_mOutputType->checkedId());
    settings.saveSettings();
}

void OutputWindowDelegate::onPublish()
{
    if (isPublishing())
        return;
    storeSettings(); // before anything is written, whatever comes of it
    const AppSettings& settings = AppSettings::shareInstance();
    BookPublishJob job;
    job.flashTemplate = m_flashTmpl;
    job.flashPageSource = m_flashPageSource;
    job.flashOutline = m_flashOutline;
    job.flashPagesAnnotations = m_flashPagesAnnotations;
    job.folder = settings.lastOutputFileFolder();
    job.name = settings.lastOutputFileName();
    job.title = settings.lastOutputFileTitle();
    job.kind = settings.outputType() == int(BookKind::DesktopApplication) ? BookKind::DesktopApplication
                                                                           : BookKind::WebFolder;
    // A relative path would land wherever the program was started from.
    if (!job.folder.isEmpty() && QDir::isRelativePath(job.folder)) {
        showFailure(tr("%1: not a full path; choose the folder or type a path that starts with \"/\"").arg(job.folder));
        return;
    }

    setBusy(true);
    m_outcome.reset();
    m_worker.reset(QThread::create([this, job] { m_outcome = job.run(); }));
    connect(m_worker.get(), &QThread::finished, this, &OutputWindowDelegate::publishFinished, Qt::QueuedConnection);
    m_worker->start();
}

void OutputWindowDelegate::publishFinished()
{
    m_worker->wait();
    m_worker.release()->deleteLater();
    setBusy(false);
    const PublishedBook book = m_outcome.value_or(PublishedBook{});
    if (!book.result.ok()) {
        showFailure(book.result.description());
        return;
    }
    if (m_desktop->askToOpenResult(this) && !m_desktop->open(book.outputFileName)) {
        QLOG_WARN("cannot open %@", book.outputFileName);
        m_desktop->showError(tr("The book is published but cannot be opened."),
                             tr("%1: no program opens it").arg(book.outputFileName), this);
    }
    emit publishDidEnd(true);
    done(1);
}

void OutputWindowDelegate::showFailure(const QString& details)
{
    QLOG_ERROR("publish error:%@", details);
    m_desktop->showError(tr("The book could not be published."), details, this);
    m_txtOutputFolder->setFocus();
    emit publishDidEnd(false);
}

void OutputWindowDelegate::setBusy(bool busy)
{
    const QList<QWidget*> controls{m_txtOutputFolder, m_txtOutputName, m_txtTitle, m_btnSelectFolder,
                                   m_btnOpenFolder,   m_btnCancel,     m_btnPublish};
    for (QWidget* control : controls)
        control->setEnabled(!busy);
    for (QAbstractButton* kind : m_mOutputType->buttons())
        kind->setEnabled(!busy);
    m_busy->setVisible(busy);
    m_lblBusy->setVisible(busy);
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

} // namespace quire
