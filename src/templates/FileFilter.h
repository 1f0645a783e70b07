#pragma once
// The file filter of a file property ("valueSource"): a description and a
// pattern list separated by "|", the patterns by ";" ("Pictures|*.jpg;*.png").
#include "util/Text.h"

#include <QStringList>

namespace quire {

// The extensions the filter names, as written ("jpg", "png"), in the way the
// property editor's file chooser reads them. An empty list allows every file:
// no filter, one that names no usable extension, or one with "*.*".
QStringList fileFilterExtensions(const Text& valueSource);

// Whether a file name has one of the extensions (any case); true for every
// name when the list is empty.
bool fileFilterAllows(const QStringList& extensions, const QString& fileName);

} // namespace quire
