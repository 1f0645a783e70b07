#include "ImportWindowDelegate.h"

#include "app/AppSettings.h"
#include "util/Console.h"
#include "util/FileUtil.h"
#include "util/Format.h"
#include "util/Log.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quire {

namespace {

constexpr int kAllPages = 0;
constexpr int kPageRange = 1;
constexpr int kQualityLevels = 5;

template <typename W>
W* named(W* widget, const char* objectName)
{
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

// A field that shows a path keeps its status-line neighbours from growing
// with it; the whole path is in its tool tip.
void showPath(QLineEdit* field, const QString& path)
{
    field->setText(path);
    field->setCursorPosition(0);
    field->setToolTip(path);
}

} // namespace

ImportWindowDelegate::ImportWindowDelegate(QWidget* parent, std::unique_ptr<ImportWindowServices> services)
    : QDialog(parent),
      m_services(services ? std::move(services) : std::make_unique<DesktopImportWindowServices>()),
      m_iQueue(std::make_unique<ImportOperationQueue>())
{
    setWindowTitle(tr("Import a Document"));
    if (parent)
        setWindowModality(Qt::WindowModal);
    setAcceptDrops(true);
    buildControls();
    loadSettings();
    enableButtons(true);
}

ImportWindowDelegate::~ImportWindowDelegate()
{
    // The workers call back into this window: they end before it does.
    m_iQueue.reset();
}

void ImportWindowDelegate::buildControls()
{
    m_txtFilePath = named(new QLineEdit(this), "txtFilePath");
    m_txtFilePath->setPlaceholderText(tr("A .txt, .rtf or .pdf file"));
    m_btnBrowse = named(new QPushButton(tr("&Browse…"), this), "btnBrowse");
    m_txtImportFile = named(new QLineEdit(this), "txtImportFile");
    m_txtImportFile->setReadOnly(true);
    m_txtImportFile->setPlaceholderText(tr("Set by the import"));
    m_btnOpenFile = named(new QPushButton(tr("&Open"), this), "btnOpenFile");
    m_btnOpenFile->setToolTip(tr("Open the PDF being imported in its default application"));

    auto* allPages = named(new QRadioButton(tr("&All pages"), this), "pageRangeAll");
    auto* somePages = named(new QRadioButton(tr("&Range:"), this), "pageRangeSome");
    m_pageRangeType = named(new QButtonGroup(this), "pageRangeType");
    m_pageRangeType->addButton(allPages, kAllPages);
    m_pageRangeType->addButton(somePages, kPageRange);
    m_txtPageRange = named(new QLineEdit(this), "txtPageRange");
    m_txtPageRange->setPlaceholderText(tr("e.g. 1-5,8"));
    m_txtPageRange->setMinimumWidth(m_txtPageRange->fontMetrics().horizontalAdvance(QStringLiteral("1-25,30,32-40")));

    m_importQuality = named(new QComboBox(this), "importQuality");
    const QString names[kQualityLevels] = {tr("Best"), tr("High"), tr("Medium"), tr("Low"), tr("Smallest")};
    for (int level = 0; level < kQualityLevels; ++level)
        m_importQuality->addItem(tr("%1 (JPEG %2)").arg(names[level]).arg(DocumentImport::qualityForLevel(level)));

    m_btnImportBookMark = named(new QCheckBox(tr("Import boo&kmarks as the contents"), this), "btnImportBookMark");
    m_btnImportLinks = named(new QCheckBox(tr("Import &links"), this), "btnImportLinks");
    m_lblInfo = named(new QLabel(this), "lblInfo");
    m_lblInfo->setWordWrap(true);
    m_lblInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_prgBar = named(new QProgressBar(this), "prgBar");
    m_prgBar->setTextVisible(false);
    m_btnCancel = named(new QPushButton(tr("Cancel"), this), "btnCancel");
    m_btnOK = named(new QPushButton(tr("&Import"), this), "btnOK");
    m_btnOK->setDefault(true);
    // The status line and the bar come and go without moving the buttons.
    for (QWidget* w : {static_cast<QWidget*>(m_lblInfo), static_cast<QWidget*>(m_prgBar)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    // Drops on the fields go to the dialog, which takes whole documents.
    for (QLineEdit* field : {m_txtFilePath, m_txtImportFile, m_txtPageRange})
        field->setAcceptDrops(false);

    auto* source = new QHBoxLayout;
    source->addWidget(m_txtFilePath, 1);
    source->addWidget(m_btnBrowse);
    auto* pdf = new QHBoxLayout;
    pdf->addWidget(m_txtImportFile, 1);
    pdf->addWidget(m_btnOpenFile);
    auto* range = new QHBoxLayout;
    range->addWidget(allPages);
    range->addSpacing(12);
    range->addWidget(somePages);
    range->addWidget(m_txtPageRange, 1);

    auto* form = new QFormLayout;
    auto* sourceLabel = new QLabel(tr("&Document:"), this);
    sourceLabel->setBuddy(m_txtFilePath);
    form->addRow(sourceLabel, source);
    form->addRow(tr("PDF file:"), pdf);
    form->addRow(tr("Pages:"), range);
    auto* qualityLabel = new QLabel(tr("&Quality:"), this);
    qualityLabel->setBuddy(m_importQuality);
    form->addRow(qualityLabel, m_importQuality);
    form->addRow(QString(), m_btnImportBookMark);
    form->addRow(QString(), m_btnImportLinks);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnCancel);
    buttons->addWidget(m_btnOK);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addSpacing(6);
    top->addWidget(m_lblInfo);
    top->addWidget(m_prgBar);
    top->addStretch(1);
    top->addLayout(buttons);

    setTabOrder(m_txtFilePath, m_btnBrowse);
    setTabOrder(m_btnBrowse, m_txtImportFile);
    setTabOrder(m_txtImportFile, m_btnOpenFile);
    setTabOrder(m_btnOpenFile, allPages);
    setTabOrder(allPages, somePages);
    setTabOrder(somePages, m_txtPageRange);
    setTabOrder(m_txtPageRange, m_importQuality);
    setTabOrder(m_importQuality, m_btnImportBookMark);
    setTabOrder(m_btnImportBookMark, m_btnImportLinks);
    setTabOrder(m_btnImportLinks, m_btnCancel);
    setTabOrder(m_btnCancel, m_btnOK);
    m_txtFilePath->setFocus();
    resize(560, sizeHint().height());

    connect(m_btnOK, &QPushButton::clicked, this, &ImportWindowDelegate::onImportAction);
    connect(m_btnCancel, &QPushButton::clicked, this, &ImportWindowDelegate::onCancelAction);
    connect(m_btnBrowse, &QPushButton::clicked, this, &ImportWindowDelegate::onBrowseFileAction);
    connect(m_btnOpenFile, &QPushButton::clicked, this, &ImportWindowDelegate::onOpenTheFileAction);
    connect(m_pageRangeType, &QButtonGroup::idClicked, this, &ImportWindowDelegate::onPageRangeTypeChangeAction);
}

void ImportWindowDelegate::loadSettings()
{
    const AppSettings& settings = AppSettings::shareInstance();
    showPath(m_txtFilePath, settings.lastImportedFile());
    QAbstractButton* rangeButton = m_pageRangeType->button(settings.importPageRangeType());
    (rangeButton ? rangeButton : m_pageRangeType->button(kAllPages))->setChecked(true);
    m_txtPageRange->setText(settings.importPageRange());
    // A level the list lacks imports at the best quality: show that one.
    const int level = settings.importQualityLevel();
    m_importQuality->setCurrentIndex(level >= 0 && level < kQualityLevels ? level : 0);
    m_btnImportLinks->setChecked(settings.importLinks() == 1);
    m_btnImportBookMark->setChecked(settings.importBookmark() == 1);
}

void ImportWindowDelegate::storeChoices()
{
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastImportedFile(m_txtFilePath->text());
    settings.setImportPageRangeType(m_pageRangeType->checkedId());
    settings.setImportQualityLevel(m_importQuality->currentIndex());
    settings.setImportPageRange(m_txtPageRange->text());
    settings.setImportBookmark(m_btnImportBookMark->isChecked() ? 1 : 0);
    settings.setImportLinks(m_btnImportLinks->isChecked() ? 1 : 0);
}

bool ImportWindowDelegate::allPages() const
{
    return m_pageRangeType->checkedId() != kPageRange;
}

void ImportWindowDelegate::enableButtons(bool enabled)
{
    m_controlsEnabled = enabled;
    m_btnOK->setEnabled(enabled);
    m_txtImportFile->setEnabled(enabled);
    m_importQuality->setEnabled(enabled);
    m_txtPageRange->setEnabled(enabled && !allPages());
    m_lblInfo->setHidden(enabled);
    m_prgBar->setHidden(enabled);
}

void ImportWindowDelegate::showInfo(const QString& text)
{
    m_lblInfo->setText(text);
    m_lblInfo->show();
}

void ImportWindowDelegate::onImportAction()
{
    m_lblInfo->show();
    const QString source = m_txtFilePath->text();
    // Nothing starts for a document that cannot be imported at all.
    if (const auto problem = DocumentImport::checkSource(source, QFileInfo(source).fileName())) {
        m_lblInfo->setText(problem->missing ? QStringLiteral("Import file does not exist.") : problem->message);
        return;
    }
    m_lblInfo->setText(QStringLiteral("Initialization the file, please wait a Minute..."));
    storeChoices();
    enableButtons(false);
    AppSettings::shareInstance().saveSettings();

    m_flashPageSource.reset();
    m_flashPagesAnnotations.reset();
    m_flashOutline.reset();
    QLOG_DEBUG("start to import file now...");
    startImport();
}

void ImportWindowDelegate::startImport()
{
    const AppSettings& settings = AppSettings::shareInstance();
    m_pageWidth = m_pageHeight = 0;
    m_iQueue->cancelAllOperations();

    DocumentImportOptions options;
    options.source = m_txtFilePath->text();
    options.shownName = QFileInfo(options.source).fileName();
    options.pageRange = allPages() ? QStringLiteral("ALL") : m_txtPageRange->text();
    QLOG_DEBUG("page range is:%@", options.pageRange);
    options.qualityLevel = settings.importQualityLevel();
    options.importLinks = settings.importLinks() == 1;
    options.importBookmarks = settings.importBookmark() == 1;
    options.place = PrintedPdf::Place::QuireFolder;

    auto operation = std::make_shared<DocumentImport>(options);
    const std::weak_ptr<DocumentImport> weak = operation;
    operation->setProgressHandler([this, weak](const ImportProgressInfo& info) { anyThread_handleMSG(info, weak); });
    operation->setCompletionHandler([this, weak] {
        QMetaObject::invokeMethod(this, [this, weak] { importFinished(weak); }, Qt::QueuedConnection);
    });
    m_importPDF = operation;
    m_awaitingCompletion = true;
    m_cancelledByUser = false;
    m_prgBar->setRange(0, 0); // busy until the page count is known
    QLOG_DEBUG("before add operation");
    m_iQueue->addOperation(std::move(operation));
    QLOG_DEBUG("after add operation");
}

void ImportWindowDelegate::anyThread_handleMSG(const ImportProgressInfo& info, const std::weak_ptr<DocumentImport>& from)
{
    QMetaObject::invokeMethod(this, [this, info, from] { mainThread_handleMSG(info, from); }, Qt::QueuedConnection);
}

void ImportWindowDelegate::mainThread_handleMSG(const ImportProgressInfo& info, const std::weak_ptr<DocumentImport>& from)
{
    // A cancelled or replaced import may still be ending: its pages are not these.
    if (m_lblInfo->isHidden() || m_cancelledByUser || from.lock() != m_importPDF)
        return;
    m_lblInfo->setText(QStringLiteral("Importing:%1/%2").arg(info.pageIndex).arg(info.totalPage));
    if (info.type == kProgressTypePage) {
        m_prgBar->setRange(0, info.totalPage);
        m_prgBar->setValue(info.pageIndex);
    }
}

void ImportWindowDelegate::importFinished(const std::weak_ptr<DocumentImport>& finished)
{
    const std::shared_ptr<DocumentImport> operation = finished.lock();
    if (!operation || operation != m_importPDF)
        return;
    QLOG_DEBUG("import files isFinished.");
    m_awaitingCompletion = false;
    if (!operation->pdfPath().isEmpty())
        showPath(m_txtImportFile, operation->pdfPath());
    // Cancel made the window ready at once, and whatever it shows since then
    // stays; an import that ended just before the cancel counts as cancelled.
    if (m_cancelledByUser) {
        QLOG_WARN("import files failed...");
        return;
    }
    m_flashPageSource = operation->flashPageSource();
    m_flashPagesAnnotations = operation->flashPagesAnnotation();
    m_flashOutline = operation->flashOutline();
    enableButtons(true);

    if (m_flashPageSource) {
        QLOG_DEBUG("import files ok...");
        const QSize size = operation->firstPageSize().value_or(QSize(0, 0));
        m_pageWidth = size.width();
        m_pageHeight = size.height();
        done(1);
        return;
    }
    QLOG_WARN("import files failed...");
    // The reason stays in view, the controls ready for another try.
    if (!operation->errorMessage().isEmpty())
        showInfo(operation->errorMessage());
}

void ImportWindowDelegate::onCancelAction()
{
    console::line(formatMessage("cancel import pdf!!,%@", {windowTitle()}));
    enableButtons(true);
    if (m_awaitingCompletion || m_iQueue->operationCount() > 0) {
        if (m_awaitingCompletion)
            m_cancelledByUser = true;
        m_iQueue->cancelAllOperations();
        return;
    }
    done(0);
}

void ImportWindowDelegate::reject()
{
    onCancelAction();
}

void ImportWindowDelegate::onBrowseFileAction()
{
    const std::optional<QString> chosen = m_services->chooseDocument(m_txtFilePath->text(), this);
    console::line(formatMessage("die end,%@", {chosen.value_or(QString())}));
    if (chosen)
        showPath(m_txtFilePath, *chosen);
}

void ImportWindowDelegate::onOpenTheFileAction()
{
    const QString path = m_txtImportFile->text();
    if (path.isEmpty())
        showInfo(tr("No PDF has been imported yet."));
    else if (!QFileInfo(path).isFile())
        showInfo(tr("The PDF file “%1” no longer exists.").arg(path));
    else if (!m_services->openWithDefaultApplication(path))
        showInfo(tr("No application could open “%1”.").arg(path));
}

void ImportWindowDelegate::onPageRangeTypeChangeAction()
{
    // The controls keep their state: a change during an import enables nothing.
    enableButtons(m_controlsEnabled);
}

std::optional<QString> ImportWindowDelegate::droppedDocument(const QMimeData* data)
{
    if (!data || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile())
        return std::nullopt;
    const QString path = data->urls().constFirst().toLocalFile();
    if (!DocumentImport::isDocumentName(path))
        return std::nullopt;
    return path;
}

void ImportWindowDelegate::setDocumentPath(const QString& path)
{
    showPath(m_txtFilePath, path);
}

void ImportWindowDelegate::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedDocument(event->mimeData()))
        event->acceptProposedAction();
}

void ImportWindowDelegate::dropEvent(QDropEvent* event)
{
    if (const auto path = droppedDocument(event->mimeData())) {
        showPath(m_txtFilePath, *path);
        event->acceptProposedAction();
    }
}

} // namespace quire
