#pragma once
// Copies whole files for the publisher, in the kernel where it can.
#include <QString>

namespace quire::publish {

// Copies from to a new file at to (which must not exist). Uses
// copy_file_range, falling back to read and write; a failed copy leaves no
// partial file behind. The new file gets the source's permission bits.
bool copyFile(const QString& from, const QString& to);

} // namespace quire::publish
