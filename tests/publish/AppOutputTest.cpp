#include "PublishFixture.h"
#include "publish/FlashBookOutputApp.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace quire;
using namespace quire::test;

namespace {

class AppOutput : public PublishFixture {
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        writeFile(res("AppFiles/TmplData/mac.app/Contents/Info.plist"), "plist");
        writeFile(res("AppFiles/TmplData/mac.app/Contents/MacOS/player"), "#!/bin/sh\n");
        QFile::setPermissions(res("AppFiles/TmplData/mac.app/Contents/MacOS/player"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    std::unique_ptr<FlashBookOutputApp> publisher(const QString& chosen, const QString& name = "mybook.html")
    {
        return std::make_unique<FlashBookOutputApp>(makePages(2), makeTemplate(""), chosen, name);
    }
};

} // namespace

TEST_F(AppOutput, BuildsTheBundleAroundTheBook)
{
    const QString chosen = dir.file("out/deeper"); // made along with the bundle
    auto out = publisher(chosen);
    EXPECT_EQ(out->outputFileName(), chosen + "/mybook.app");
    EXPECT_EQ(out->outputHTMLFileName(), chosen + "/mybook.app/Contents/Resources/index.html");
    ASSERT_TRUE(out->ouputTheBook().ok());

    EXPECT_EQ(filesBelow(chosen), QStringList({"mybook.app/Contents/Info.plist", "mybook.app/Contents/MacOS/player",
                                               "mybook.app/Contents/Resources/book.swf",
                                               "mybook.app/Contents/Resources/files/book.bin",
                                               "mybook.app/Contents/Resources/files/book.js",
                                               "mybook.app/Contents/Resources/files/page/1.jpg",
                                               "mybook.app/Contents/Resources/files/page/2.jpg",
                                               "mybook.app/Contents/Resources/index.html"}));
    EXPECT_TRUE(QFileInfo(chosen + "/mybook.app/Contents/Resources/files/extfiles").isDir());
    EXPECT_TRUE(QFileInfo(chosen + "/mybook.app/Contents/MacOS/player").isExecutable());
    EXPECT_EQ(readFile(chosen + "/mybook.app/Contents/Resources/index.html"), QByteArray(kPage));
}

TEST_F(AppOutput, RepublishingReplacesTheWholeBundle)
{
    const QString chosen = dir.file("out");
    ASSERT_TRUE(publisher(chosen)->ouputTheBook().ok());
    writeFile(chosen + "/mybook.app/Contents/Resources/added-by-hand.txt", "x");
    writeFile(chosen + "/beside.txt", "stays");
    ASSERT_TRUE(publisher(chosen)->ouputTheBook().ok());
    EXPECT_FALSE(QFileInfo::exists(chosen + "/mybook.app/Contents/Resources/added-by-hand.txt"));
    EXPECT_TRUE(QFileInfo(chosen + "/mybook.app/Contents/Resources/files/book.bin").isFile());
    EXPECT_EQ(readFile(chosen + "/beside.txt"), "stays");
}

TEST_F(AppOutput, AMissingSkeletonIsLoggedAndFailsThePublish)
{
    const QString chosen = dir.file("out");
    ASSERT_TRUE(publisher(chosen)->ouputTheBook().ok());
    const auto before = snapshot(chosen);
    QDir(res("AppFiles/TmplData")).removeRecursively();
    log::Capture capture;
    const PublishResult result = publisher(chosen)->ouputTheBook();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure()->file, chosen + "/mybook.app/Contents");
    const QStringList errors = capture.messages(log::Level::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("ouput the book,copy failed:")) << errors[0].toStdString();
    EXPECT_TRUE(snapshot(chosen) == before); // the earlier bundle, untouched
}
