#pragma once
// A new book is written into a hidden staging folder inside the folder it
// goes to, then swapped in entry by entry with renames in that folder; the
// entries it replaces land in the staging folder, which goes away with them.
// A failed or interrupted publish thus leaves the earlier book whole.
#include "PublishResult.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace quire {

class PublishStaging {
public:
    // Removes the staging folders an interrupted publish left in `folder`,
    // then makes a fresh one; a failure to make it goes into `result`.
    PublishStaging(const QString& folder, PublishResult& result);
    // Removes the staging folder with what it holds: an uncommitted book, or
    // the entries a commit replaced.
    ~PublishStaging();
    PublishStaging(const PublishStaging&) = delete;
    PublishStaging& operator=(const PublishStaging&) = delete;

    const QString& path() const { return m_path; }
    // Gives the staging folder, with what it holds, to the caller to remove
    // (later, or elsewhere); the destructor then leaves it.
    QString release() { return std::exchange(m_path, QString()); }

    // Puts each named entry of the staging folder in the place of the entry
    // of that name in the folder (a name may lead into a subfolder both
    // have); a name the staging folder lacks takes the folder's entry away.
    // When one move fails, those done are undone and the failure goes into
    // `result`.
    void commit(const QStringList& names, PublishResult& result);

    static bool isStagingName(const QString& name);

private:
    enum class Move { Exchanged, MovedIn, MovedOut, Displaced };
    struct Done {
        QString name;
        Move move;
    };
    bool swap(const QString& name, std::vector<Done>& done, QString* error);
    void undo(const std::vector<Done>& done);

    QString m_folder;
    QString m_path;
};

} // namespace quire
