#pragma once
// The sealed form of the book configuration: the serialised document zipped
// as the single entry "book.xml", the archive enciphered with RC4.
#include <QByteArray>
#include <optional>

namespace quire::publish {

// RC4 of data under key (the key bytes used as they are, keystream started
// afresh, nothing discarded); none when the cipher is unavailable or fails.
std::optional<QByteArray> rc4(const QByteArray& data, const QByteArray& key);

// The container bytes for a serialised configuration document; none when
// zipping or enciphering fails.
std::optional<QByteArray> sealBookDocument(const QByteArray& documentBytes);

// A classic script that hands the container to a viewer opened from disk,
// where browsers refuse to fetch files:
//   window.quireBookContainer = "<base64>";
QByteArray containerScript(const QByteArray& containerBytes);

} // namespace quire::publish
