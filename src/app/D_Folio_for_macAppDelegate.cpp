#include "D_Folio_for_macAppDelegate.h"

#include "AppLog.h"
#include "QuillUtility.h"
#include "publish/FlashBookOutput.h"
#include "util/Error.h"
#include "util/FileUtil.h"
#include "util/Log.h"
#include "util/Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#ifndef QUIRE_VERSION
#define QUIRE_VERSION "0"
#endif

namespace quire {

D_Folio_for_macAppDelegate::D_Folio_for_macAppDelegate(AppDelegateWindow* window, QObject* parent)
    : QObject(parent), m_window(window ? window : &m_noWindow), m_previewReuse(std::make_shared<PublishReuse>())
{
    connect(&m_indicator, &ApplyChangeIndicator::pictureChanged, this,
            [this](const QString& name) { m_window->setApplyPicture(name); });
}

D_Folio_for_macAppDelegate::~D_Folio_for_macAppDelegate()
{
    if (m_launched)
        applicationWillTerminate();
}

void D_Folio_for_macAppDelegate::applicationDidFinishLaunching()
{
    prepaireTheLog();
    QLOG_INFO("version is:%@", versionString());
    m_window->makeKeyAndOrderFront();
    m_iFlashPreviewFolder = QStringLiteral("");
    m_window->fillMainScreen();
    loadDemoPages();
    m_iFlashTmpl = std::make_shared<FlashTemplate>();
    m_launched = true;
    m_window->bindPropertyEditor();
    m_window->observeNotifications();
    m_window->useFixedPitchHelpFont();
    applyChange();
}

void D_Folio_for_macAppDelegate::loadDemoPages()
{
    auto source = std::make_shared<FlashPageSourceImg>();
    const QDir demo(resourcePath(QStringLiteral("DemoImgs")));
    // File-name order is page order (01.jpg, 02.jpg, ...).
    for (const QString& name : demo.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        source->addImgPageFromFile(demo.filePath(name));
    source->generateNormalPages();
    m_iFlashPageSource = std::move(source);
}

void D_Folio_for_macAppDelegate::applicationWillTerminate()
{
    m_launched = false;
    m_indicator.stop();
    m_iFlashTmpl.reset();
    m_iFlashPageSource.reset();
    // Waits for the removal of a replaced preview still running in it.
    m_previewReuse = std::make_shared<PublishReuse>();
    removeFlashPreviewFolder();
}

QString D_Folio_for_macAppDelegate::previewFolderFor(const QString& applicationSupport)
{
    const QString base = applicationSupport.isEmpty() ? QStringLiteral("/temp") : applicationSupport;
    return fs::join(base, QStringLiteral("Quire/preview"));
}

QString D_Folio_for_macAppDelegate::previewLockFor(const QString& previewFolder)
{
    return previewFolder + QStringLiteral(".lock");
}

void D_Folio_for_macAppDelegate::makeFlashPreviewFolder()
{
    const QString shared = previewFolderFor(userApplicationSupportFolder());
    if (!m_previewLock) {
        // A second window would rebuild and, at its exit, remove the first
        // one's preview: it previews in a folder of its own beside it.
        fs::makePath(fs::deletingLastPathComponent(shared));
        m_previewLock = std::make_unique<QLockFile>(previewLockFor(shared));
        m_previewLock->setStaleLockTime(0);
        if (m_previewLock->tryLock(0)) {
            m_iFlashPreviewFolder = shared;
        } else {
            QByteArray own = QFile::encodeName(shared + QStringLiteral("-XXXXXX"));
            m_iFlashPreviewFolder = ::mkdtemp(own.data()) ? QFile::decodeName(own) : shared;
        }
    }
    QString error;
    if (!QFileInfo(m_iFlashPreviewFolder).isDir() && !fs::makePath(m_iFlashPreviewFolder, &error))
        QLOG_WARN("flash preview folder cannot be crearted[%@]", error);
    QuillUtility::makeDiractoryTrustByFlash(m_iFlashPreviewFolder);
}

void D_Folio_for_macAppDelegate::removeFlashPreviewFolder()
{
    if (!m_iFlashPreviewFolder.isEmpty() && fs::exists(m_iFlashPreviewFolder))
        fs::removeAll(m_iFlashPreviewFolder);
    m_previewLock.reset();
}

PreviewBuild D_Folio_for_macAppDelegate::rebuildPreview(bool mayKeepPage)
{
    m_indicator.stop();
    // A folder removed while the application runs is made again rather than
    // leaving the preview on a missing page until the next start.
    if (m_iFlashPreviewFolder.isEmpty() || !QFileInfo(m_iFlashPreviewFolder).isDir())
        makeFlashPreviewFolder();

    PreviewBuild build;
    auto html = std::make_shared<HTMLConfigInfo>();
    FlashBookOutput publisher(m_iFlashPageSource, m_iFlashTmpl, m_iFlashPreviewFolder, QStringLiteral("index.html"));
    try {
        html->setHTMLTitle(QStringLiteral("Preview"));
        publisher.setHTMLConfig(html);
        publisher.setFlashPagesAnnotations(m_iFlashPagesAnnotations);
        publisher.setFlashOutline(m_iFlashOutline);
        publisher.setFileReuse(m_previewReuse);
        // The preview is made again at every start and removed at exit.
        publisher.setSyncsToDisk(false);
        build.result = publisher.ouputTheBook();
    } catch (const Error& e) {
        build.result.fail(QStringLiteral("preview"), m_iFlashPreviewFolder, e.description());
    } catch (const std::exception& e) {
        build.result.fail(QStringLiteral("preview"), m_iFlashPreviewFolder, QString::fromLocal8Bit(e.what()));
    }
    if (!build.result.ok()) {
        QLOG_ERROR("apply change :%@", build.result.description());
        m_window->showPreviewProblem(build.result.description());
        return build;
    }
    build.page = publisher.outputFileName();
    if (mayKeepPage && publisher.keptPageAndPictures() && build.page == m_shownPreview)
        build.load = PreviewLoad::BookInPage;
    m_shownPreview = build.page;
    m_window->showPreviewProblem(QString());
    m_window->loadPreview(build.page, build.load);
    return build;
}

void D_Folio_for_macAppDelegate::tmplPpertyValueChanged()
{
    m_indicator.start();
}

void D_Folio_for_macAppDelegate::importWindowDidEnd(int returnCode, const ImportedBook& imported)
{
    if (returnCode != 1 || !m_iFlashTmpl)
        return;
    m_iFlashTmpl->setPropertyValue(QStringLiteral("pageWidth"), QString::number(imported.pageWidth));
    m_iFlashTmpl->setPropertyValue(QStringLiteral("pageHeight"), QString::number(imported.pageHeight));
    setFlashPageSource(imported.flashPageSource);
    setFlashPagesAnnotations(imported.flashPagesAnnotations);
    setFlashOutline(imported.flashOutline);
    m_window->reloadOutlineView();
    rebuildPreview(false);
}

SettingsExport D_Folio_for_macAppDelegate::exportTmplSettings(const QString& chosen) const
{
    SettingsExport done;
    if (!m_iFlashTmpl || chosen.isEmpty())
        return done;
    done.path = chosen;
    if (fs::pathExtension(chosen).isEmpty())
        done.path += chosen.endsWith(QLatin1Char('.')) ? QStringLiteral("txt") : QStringLiteral(".txt");
    done.written = m_iFlashTmpl->exportPropertiesSettingsTo(done.path, &done.error);
    return done;
}

std::optional<SettingsImport> D_Folio_for_macAppDelegate::importTmplSettings(const std::optional<QStringList>& chosen)
{
    if (!m_iFlashTmpl || (chosen && chosen->isEmpty()))
        return std::nullopt;
    std::optional<SettingsImport> imported;
    if (chosen)
        imported = m_iFlashTmpl->importPropertiesSettingsFrom(chosen->constFirst());
    m_window->reloadOutlineView();
    rebuildPreview(false);
    return imported;
}

void D_Folio_for_macAppDelegate::selectTmplWindowDidEnd(int returnCode, const Text& selectedStyle)
{
    if (returnCode != 1 || !selectedStyle || !m_iFlashTmpl)
        return;
    const QString styleFolder = fs::deletingLastPathComponent(*selectedStyle);
    const QString tmplName = fs::lastPathComponent(fs::deletingLastPathComponent(styleFolder));
    m_iFlashTmpl->changeTmplTo(tmplName, styleFolder);
    m_window->reloadOutlineView();
    m_window->setTemplateTitle(capitalized(m_iFlashTmpl->tmplName()));
    rebuildPreview(false);
}

QString D_Folio_for_macAppDelegate::helpFilePath()
{
    return resourcePath(QStringLiteral("Quire for Mac Help/Quire for Mac Manual.pdf"));
}

QString D_Folio_for_macAppDelegate::versionString()
{
    return QStringLiteral(QUIRE_VERSION);
}

QString D_Folio_for_macAppDelegate::capitalized(const QString& text)
{
    QString out = text.toLower();
    bool wordStart = true;
    for (QChar& c : out) {
        if (wordStart && !c.isSpace())
            c = c.toUpper();
        wordStart = c.isSpace();
    }
    return out;
}

} // namespace quire
