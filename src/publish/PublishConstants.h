#pragma once
// Fixed texts of published books, kept together so the maker's details are
// changed in one place.
namespace quire::publish {

// Root attributes of the book configuration.
inline constexpr const char* kAppShortName = "pt";
inline constexpr const char* kAppName = "Quire for Mac";
inline constexpr const char* kAppVersion = "1.0.0";
inline constexpr const char* kAppWebsite = "https://quire.example.org/";
inline constexpr const char* kExtensionMark = "noext";

// Defaults of the HTML page's meta data.
inline constexpr const char* kDefaultHTMLTitle = "PDF to Flashbook";
inline constexpr const char* kDefaultHTMLKeywords = "Quire,page flip,flashbook,flash-book";
inline constexpr const char* kDefaultHTMLDescription = "quire.example.org";

// The viewers decipher the container with this key; changing it breaks
// every viewer already shipped.
inline constexpr const char* kContainerKey = "leafcase-key-01";
inline constexpr const char* kContainerEntryName = "book.xml";

// Folder and file names of a published book.
inline constexpr const char* kResourceFolder = "files";
inline constexpr const char* kNormalPageFolder = "page";
inline constexpr const char* kExterFilesFolder = "extfiles";
inline constexpr const char* kAnnotationFilesFolder = "pageConfig";
inline constexpr const char* kDefaultHTMLFileName = "index.html";
inline constexpr const char* kViewerFileName = "book.swf";
inline constexpr const char* kContainerName = "book.bin";
inline constexpr const char* kContainerScriptName = "book.js";

// What the reader finds beside the configuration (viewer/BOOKFILES.md): page
// thumbnails, the words of the pages, and the list of what a book has.
inline constexpr const char* kThumbFolder = "thumb";
inline constexpr const char* kTextFolder = "text";
inline constexpr const char* kExtrasScriptName = "extras.js";
inline constexpr const char* kTextFunction = "quireText";
inline constexpr const char* kExtrasFunction = "quireExtras";
inline constexpr int kExtrasVersion = 1;

// Where the desktop bundle's skeleton lies in the resource folder.
inline constexpr const char* kAppSkeletonFolder = "AppFiles/TmplData/mac.app/Contents/";
// The program inside a published bundle that opens its book.
inline constexpr const char* kBundleLauncher = "Contents/MacOS/launch";

} // namespace quire::publish
