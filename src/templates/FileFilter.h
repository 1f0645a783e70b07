#pragma once
// The file-name extensions a file property allows, read from its
// valueSource: a description and a pattern list separated by "|", the
// patterns separated by ";" (for example "Pictures|*.jpg;*.png").
#include "util/Text.h"

#include <QStringList>

namespace quire {

// Removes every ";", splits at "|" and keeps the second piece when there are
// two or more (else the whole text), then splits that at "*."; the pieces are
// the extensions; empty pieces (normally the one before the first "*.") are
// left out.
//
// An empty result means "all files": an absent or empty valueSource, one
// without any extension, and a malformed one (a piece holding white space, a
// path separator or a wildcard) restrict nothing.
QStringList fileFilterExtensions(const Text& valueSource);

} // namespace quire
