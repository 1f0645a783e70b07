#pragma once
// The live preview: the book published into the preview folder, shown as a
// reader sees it. A rebuilt book opens on the page the user was looking at
// (the reader keeps "#page=N" in the address), and the view says when the
// first page's picture is on show. Links that leave the book go to the
// desktop's browser.
#include <QWebEngineView>

class QWebEngineProfile;

namespace quire {

class PreviewView : public QWebEngineView {
    Q_OBJECT
public:
    explicit PreviewView(QWidget* parent = nullptr);
    ~PreviewView() override;

    // Shows the book page at path, on the page shown now when it is the same
    // book; always read afresh from disk. With bookOnly, when that page is on
    // show and loaded, the reader in it loads the book again instead (the
    // page itself must be unchanged); the page is loaded when it cannot.
    void showPreview(const QString& path, bool bookOnly = false);
    // The page number the reader shows ("#page=N"); 0 when it says none.
    int shownPage() const;

    // What the reader in the page reports: "state" (loading, ready, error),
    // "spread" ("1", "2-3" ...), "status" ("Page 1 of 8"), "pictures" and
    // "loaded" (the pictures on show and how many are drawn), "firstPage"
    // (the book position of the first page on show), "background" (the
    // colour behind the book), "theme" and "hardPages" (stiff faces on show).
    static const char* kReaderStateScript;

signals:
    // The reader put the first page picture of a load on show.
    void firstPageShown();
    void previewFailed(const QUrl& url);

private:
    void reloadPage();

    QWebEngineProfile* m_profile;
    bool m_loaded = false; // the page on show finished loading
    int m_loads = 0;       // pages asked for, to drop answers about earlier ones
};

} // namespace quire
