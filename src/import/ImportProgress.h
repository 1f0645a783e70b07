#pragma once
// The progress message of page production: sent on the thread that produces
// the pages, after every page. Receivers that touch a window move to the
// main thread themselves.
#include <QString>
#include <QVariantMap>
#include <functional>

namespace quire {

inline const QString ImportProgressInfoMSG = QStringLiteral("ImportProgressInfoMSG");
inline const QString kProgressTypePage = QStringLiteral("geneatePage");
inline const QString kProgressTypeNormalPage = QStringLiteral("geneateNormalPage");

struct ImportProgressInfo {
    int pageIndex = 0;   // pages this phase has handled, counted from 1
    int totalPage = 0;   // number of page numbers to import
    QString type;        // kProgressTypePage or kProgressTypeNormalPage

    // The message's entries under their keys "pageIndex", "totalPage", "type".
    QVariantMap userInfo() const
    {
        return {{QStringLiteral("pageIndex"), pageIndex},
                {QStringLiteral("totalPage"), totalPage},
                {QStringLiteral("type"), type}};
    }
};

// Must not throw; called synchronously by the producing thread.
using ImportProgressHandler = std::function<void(const ImportProgressInfo&)>;

} // namespace quire
