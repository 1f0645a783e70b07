#pragma once
// The template chooser: templates of the catalogue on the left, the styles of
// the selected template on the right as a picture grid. It only chooses; the
// caller reads selectedStyle() after the dialog finished with 1.
#include "SelectTemplateModels.h"
#include "util/Text.h"

#include <QDialog>

class QListView;
class QPushButton;

namespace quire {

class SelectTmplItemCell;

class SelectTemplateWindowDelegate : public QDialog {
    Q_OBJECT
public:
    // Window-modal on its parent's window when given a parent.
    explicit SelectTemplateWindowDelegate(QWidget* parent = nullptr);

    // Re-reads the catalogue, selects the template of that name (any case)
    // and shows its styles.
    void prepairToTmpl(const QString& name);

    // The chosen style's "shot.jpg" path; none while no style is selected.
    Text selectedStyle();
    quint32 selectedItemIndex() const { return m_selectedItemIndex; }

    const QStringList& iTmplListData() const { return m_tmplList.entries(); }
    const std::vector<IKBTmplStyleItem>& iTmplStylesData() const { return m_styles.items(); }

public slots:
    void onOK();
    void onCancel();
    // Re-reads the template list; the styles shown stay.
    void onRefresh();
    void reloadTmplList();
    void reloadStylesForTmpl(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tableViewSelectionDidChange();
    void cellWasDoubleClicked(const QModelIndex& index);
    void updateOKButton();

    TmplListModel m_tmplList;
    TmplStyleModel m_styles;
    QListView* m_tableViewTmpls;
    QListView* m_imgBrowserView;
    SelectTmplItemCell* m_tmplCell;
    QPushButton* m_btnOK;
    quint32 m_selectedItemIndex = 0;
    bool m_keepStyles = false; // set while a refresh restores the template selection
};

} // namespace quire
