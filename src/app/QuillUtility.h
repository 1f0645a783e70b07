#pragma once
#include <QString>
#include <QStringList>

namespace quire {

// Working folders under /tmp, recursive folder listing, and the Flash Player
// trust file. Stateless apart from the trust folder, which tests redirect.
class QuillUtility {
public:
    QuillUtility() = delete;

    // A new, empty folder /tmp/<name>/temp.XXXXXX, owned by this process
    // until removeTmpDiractory(). Throws Error naming the folder and the
    // system's reason when it cannot be made.
    static QString forceTmpDiractory(const QString& name);
    // Removes a folder made by forceTmpDiractory() and gives up ownership.
    static void removeTmpDiractory(const QString& folder);
    // Removes the folders under /tmp/<name> whose owning process has ended
    // (killed imports); never one of a running process. Returns how many.
    static int sweepTmpDiractories(const QString& name);
    // The folder that stands for "/tmp" above; "" restores it (tests).
    static QString tmpBaseFolder();
    static void setTmpBaseFolder(const QString& folder);

    // Every folder below folder, depth first, each folder before its contents,
    // siblings by name; symbolic links are neither listed nor followed.
    static QStringList subFolderOfFolder(const QString& folder);

    // Adds folder as a line of the trust file "PT.cfg" (UTF-16 with a BOM).
    static void makeDiractoryTrustByFlash(const QString& folder);

    // The folder that holds "PT.cfg": $QUIRE_FLASH_TRUST_FOLDER when set,
    // else /etc/adobe/FlashPlayerTrust.
    static QString flashTrustFolder();
    static void setFlashTrustFolder(const QString& folder); // "" restores the default
};

} // namespace quire
