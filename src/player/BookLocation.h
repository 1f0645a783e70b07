#pragma once
#include <QString>

namespace quire::player {

// Where a book is: the page to open and the name to show until the page
// names itself.
struct BookLocation {
    QString page;     // absolute path of the HTML page
    QString name;     // the bundle's name (N for N.app) or the book folder's
    bool exists = false;

    // From the command-line argument: an HTML page, or a book folder (its
    // "index.html"), or a bundle folder N.app (its Contents/Resources).
    static BookLocation fromArgument(const QString& argument);
};

} // namespace quire::player
