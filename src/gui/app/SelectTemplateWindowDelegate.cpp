#include "SelectTemplateWindowDelegate.h"

#include "SelectTmplItemCell.h"
#include "TmplStyleCell.h"
#include "templates/FlashTemplate.h"
#include "util/FileUtil.h"

#include <QDir>
#include <QFocusEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace quire {

namespace {

// The catalogue listing reaches folders at every depth; only the folders
// directly inside root are templates (or styles), deeper ones are their
// resource folders and would make broken choices.
QStringList directChildren(const QStringList& folders, const QString& root)
{
    const QString cleanRoot = QDir::cleanPath(root);
    QStringList children;
    for (const QString& folder : folders)
        if (QDir::cleanPath(QFileInfo(folder).path()) == cleanRoot)
            children << folder;
    return children;
}

QPushButton* button(const QString& text, const char* objectName, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(objectName));
    return b;
}

} // namespace

SelectTemplateWindowDelegate::SelectTemplateWindowDelegate(QWidget* parent)
    : QDialog(parent),
      m_tableViewTmpls(new QListView(this)),
      m_imgBrowserView(new QListView(this)),
      m_tmplCell(new SelectTmplItemCell(this)),
      m_btnOK(button(tr("OK"), "btnOK", this))
{
    setWindowTitle(tr("Choose a Template"));
    if (parent)
        setWindowModality(Qt::WindowModal);

    m_tableViewTmpls->setObjectName(QStringLiteral("iTableViewTmpls"));
    m_tableViewTmpls->setModel(&m_tmplList);
    m_tableViewTmpls->setItemDelegate(m_tmplCell);
    m_tableViewTmpls->setUniformItemSizes(true);
    m_tableViewTmpls->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableViewTmpls->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Room for three rows and for one style whole beside them.
    const int frame = 2 * m_tableViewTmpls->frameWidth();
    m_tableViewTmpls->setMinimumSize(150, 3 * kTmplRowHeight + frame);

    m_imgBrowserView->setObjectName(QStringLiteral("iImgBrowserView"));
    m_imgBrowserView->setModel(&m_styles);
    m_imgBrowserView->setItemDelegate(new TmplStyleCell(this));
    m_imgBrowserView->setViewMode(QListView::IconMode);
    m_imgBrowserView->setMovement(QListView::Static);
    m_imgBrowserView->setResizeMode(QListView::Adjust);
    m_imgBrowserView->setUniformItemSizes(true);
    m_imgBrowserView->setSpacing(4);
    m_imgBrowserView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_imgBrowserView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QSize cell = TmplStyleCell::cellSize(m_imgBrowserView->fontMetrics()) +
                       QSize(2 * m_imgBrowserView->spacing() + frame, 2 * m_imgBrowserView->spacing() + frame);
    m_imgBrowserView->setMinimumSize(cell + QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0));

    auto* tmplLabel = new QLabel(tr("&Templates:"), this);
    tmplLabel->setBuddy(m_tableViewTmpls);
    auto* styleLabel = new QLabel(tr("&Styles:"), this);
    styleLabel->setBuddy(m_imgBrowserView);

    QPushButton* btnRefresh = button(tr("&Refresh"), "btnRefresh", this);
    QPushButton* btnCancel = button(tr("Cancel"), "btnCancel", this);
    m_btnOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRefresh);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(m_btnOK);

    auto* grid = new QGridLayout(this);
    grid->addWidget(tmplLabel, 0, 0);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(m_tableViewTmpls, 1, 0);
    grid->addWidget(m_imgBrowserView, 1, 1);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);

    setTabOrder(m_tableViewTmpls, m_imgBrowserView);
    setTabOrder(m_imgBrowserView, btnRefresh);
    setTabOrder(btnRefresh, btnCancel);
    setTabOrder(btnCancel, m_btnOK);
    m_tableViewTmpls->setFocus();
    resize(800, 460);

    connect(m_btnOK, &QPushButton::clicked, this, &SelectTemplateWindowDelegate::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &SelectTemplateWindowDelegate::onCancel);
    connect(btnRefresh, &QPushButton::clicked, this, &SelectTemplateWindowDelegate::onRefresh);
    connect(m_tableViewTmpls->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SelectTemplateWindowDelegate::tableViewSelectionDidChange);
    connect(m_imgBrowserView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SelectTemplateWindowDelegate::updateOKButton);
    m_imgBrowserView->installEventFilter(this);
    connect(m_imgBrowserView, &QAbstractItemView::doubleClicked, this,
            &SelectTemplateWindowDelegate::cellWasDoubleClicked);

    reloadTmplList();
    updateOKButton();
}

void SelectTemplateWindowDelegate::prepairToTmpl(const QString& name)
{
    reloadTmplList();
    const QString wanted = name.toUpper();
    int match = -1;
    for (int row = 0; row < m_tmplList.rowCount(); ++row)
        if (fs::lastPathComponent(m_tmplList.entries().at(row)).toUpper() == wanted)
            match = row; // folders of equal names: the last one wins
    if (match >= 0) {
        // The styles are loaded below for the name asked for, not the folder's spelling.
        m_keepStyles = true;
        m_tableViewTmpls->selectionModel()->setCurrentIndex(m_tmplList.index(match),
                                                            QItemSelectionModel::ClearAndSelect);
        m_keepStyles = false;
        m_tableViewTmpls->scrollTo(m_tmplList.index(match));
    }
    reloadStylesForTmpl(name);
}

Text SelectTemplateWindowDelegate::selectedStyle()
{
    const QModelIndexList selected = m_imgBrowserView->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    int first = selected.first().row();
    for (const QModelIndex& index : selected)
        first = std::min(first, index.row());
    m_selectedItemIndex = quint32(first);
    return m_styles.items()[size_t(first)].imageID;
}

void SelectTemplateWindowDelegate::onOK()
{
    if (selectedStyle())
        done(1);
}

void SelectTemplateWindowDelegate::onCancel()
{
    done(0);
}

void SelectTemplateWindowDelegate::onRefresh()
{
    reloadTmplList();
}

void SelectTemplateWindowDelegate::reloadTmplList()
{
    const QModelIndex current = m_tableViewTmpls->selectionModel()->currentIndex();
    const QString selectedFolder = m_tableViewTmpls->selectionModel()->isSelected(current)
                                       ? m_tmplList.entries().at(current.row())
                                       : QString();
    m_tmplCell->clearIcons();
    m_tmplList.setEntries(directChildren(FlashTemplate::tmplNames(), FlashTemplate::tmplPathForName(QString())));

    // The model reset dropped the selection: keep the same template selected,
    // without touching the styles shown.
    const int row = selectedFolder.isEmpty() ? -1 : m_tmplList.rowOf(selectedFolder);
    if (row >= 0) {
        m_keepStyles = true;
        m_tableViewTmpls->selectionModel()->setCurrentIndex(m_tmplList.index(row), QItemSelectionModel::ClearAndSelect);
        m_keepStyles = false;
    }
}

void SelectTemplateWindowDelegate::reloadStylesForTmpl(const QString& name)
{
    std::vector<IKBTmplStyleItem> items;
    for (const QString& folder :
         directChildren(FlashTemplate::tmplStyleNamesForTmpl(name), FlashTemplate::stylePathFor(name, QString())))
        items.push_back(IKBTmplStyleItem::forStyleFolder(folder));
    m_styles.setItems(std::move(items));
    updateOKButton();
}

void SelectTemplateWindowDelegate::tableViewSelectionDidChange()
{
    if (m_keepStyles)
        return;
    const QModelIndexList rows = m_tableViewTmpls->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        reloadStylesForTmpl(rows.first().data().toString());
}

void SelectTemplateWindowDelegate::cellWasDoubleClicked(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    m_imgBrowserView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_selectedItemIndex = quint32(index.row());
    done(1);
}

bool SelectTemplateWindowDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // Reaching the styles from the keyboard selects the current one, so that
    // a template with a single style can be taken with Tab and Enter.
    if (watched == m_imgBrowserView && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QItemSelectionModel* selection = m_imgBrowserView->selectionModel();
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason) &&
            !selection->hasSelection() && m_styles.rowCount() > 0) {
            const QModelIndex current = selection->currentIndex();
            selection->setCurrentIndex(current.isValid() ? current : m_styles.index(0),
                                       QItemSelectionModel::ClearAndSelect);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SelectTemplateWindowDelegate::updateOKButton()
{
    m_btnOK->setEnabled(m_imgBrowserView->selectionModel()->hasSelection());
}

} // namespace quire
