#include <gtest/gtest.h>
#include <sodium.h>

#include "platform/linux/updater/AppcastParser.h"
#include "platform/linux/updater/EdSignature.h"
#include "platform/linux/updater/UpdateUrlPolicy.h"

namespace pellucine {
namespace {

const QUrl feedURL("https://updates.example.com/feeds/appcast.xml");

QByteArray feed(const QByteArray& items,
                const QByteArray& ns = "http://www.andymatuschak.org/xml-namespaces/sparkle") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" xmlns:sparkle=\"" +
           ns + "\"><channel><title>Updates</title>" + items + "</channel></rss>";
}

Appcast parse(const QByteArray& data, const QString& system = QStringLiteral("6.1.0")) {
    return AppcastParser(feedURL, system).parse(data);
}

TEST(AppcastParserTest, ReadsReleasesByNamespaceAndLocalName) {
    // Another prefix for the same namespace, and elements and attributes mixed.
    const Appcast appcast = parse(
        "<rss version=\"2.0\" xmlns:u=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
        "<channel><item><title>One</title><u:version>150</u:version>"
        "<u:shortVersionString>1.5</u:shortVersionString><u:channel>beta</u:channel>"
        "<u:releaseNotesLink>notes/1.5.html</u:releaseNotesLink>"
        "<enclosure url=\"../files/p-1.5\" length=\"1234\" type=\"application/octet-stream\" "
        "u:edSignature=\"c2ln\"/></item>"
        "<item><enclosure url=\"https://cdn.example.com/p\" u:version=\" 160 \" "
        "u:shortVersionString=\"1.6\" length=\"-3\"/></item>"
        "<item><u:version>170</u:version><u:channel></u:channel></item>"
        "</channel></rss>");
    ASSERT_EQ(appcast.items.size(), 3);
    const AppcastItem& one = appcast.items[0];
    EXPECT_EQ(one.title, "One");
    EXPECT_EQ(one.versionString, "150");
    EXPECT_EQ(one.displayVersionString, "1.5");
    EXPECT_EQ(one.channel, QString("beta"));
    EXPECT_EQ(one.fileURL, QUrl("https://updates.example.com/files/p-1.5"));
    EXPECT_EQ(one.releaseNotesURL, QUrl("https://updates.example.com/feeds/notes/1.5.html"));
    EXPECT_EQ(one.contentLength, 1234);
    EXPECT_EQ(one.edSignature, QString("c2ln"));

    const AppcastItem& two = appcast.items[1];
    EXPECT_EQ(two.versionString, "160");
    EXPECT_EQ(two.displayVersionString, "1.6");
    EXPECT_EQ(two.contentLength, 0);
    EXPECT_FALSE(two.channel);
    EXPECT_FALSE(two.edSignature);

    // No short version: the version is shown. An empty channel stays a named channel.
    EXPECT_EQ(appcast.items[2].displayVersionString, "170");
    EXPECT_EQ(appcast.items[2].channel, QString(""));
}

TEST(AppcastParserTest, LeavesOutReleasesWithoutAVersionInThisNamespace) {
    EXPECT_TRUE(parse(feed("<item><title>No version</title><enclosure url=\"x\"/></item>"))
                    .items.isEmpty());
    EXPECT_TRUE(parse(feed("<item><sparkle:version>  </sparkle:version></item>")).items.isEmpty());
    // The right prefix bound to another namespace, and no namespace at all.
    EXPECT_TRUE(
        parse(feed("<item><sparkle:version>2</sparkle:version></item>", "http://example.com/other"))
            .items.isEmpty());
    EXPECT_TRUE(
        parse("<rss><channel><item><version>2</version></item></channel></rss>").items.isEmpty());
    // Items outside the channel are not releases.
    EXPECT_TRUE(parse("<rss xmlns:s=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
                      "<item><s:version>2</s:version></item><channel/></rss>")
                    .items.isEmpty());
}

TEST(AppcastParserTest, ChecksTheSystemRange) {
    const Appcast appcast =
        parse(feed("<item><sparkle:version>1</sparkle:version>"
                   "<sparkle:minimumSystemVersion>6.1</sparkle:minimumSystemVersion>"
                   "<sparkle:maximumSystemVersion>6.1.0</sparkle:maximumSystemVersion></item>"
                   "<item><sparkle:version>2</sparkle:version>"
                   "<sparkle:minimumSystemVersion>6.2</sparkle:minimumSystemVersion></item>"
                   "<item><sparkle:version>3</sparkle:version>"
                   "<sparkle:maximumSystemVersion>5.19</sparkle:maximumSystemVersion></item>"),
              QStringLiteral("6.1.0-18-amd64"));
    ASSERT_EQ(appcast.items.size(), 3);
    EXPECT_TRUE(appcast.items[0].minimumOperatingSystemVersionIsOK);
    EXPECT_TRUE(appcast.items[0].maximumOperatingSystemVersionIsOK);
    EXPECT_FALSE(appcast.items[1].minimumOperatingSystemVersionIsOK);
    EXPECT_TRUE(appcast.items[1].maximumOperatingSystemVersionIsOK);
    EXPECT_FALSE(appcast.items[2].maximumOperatingSystemVersionIsOK);
}

TEST(AppcastParserTest, RefusesWhatIsNotARssFeed) {
    const QByteArray bad[] = {
        "",
        "not xml at all",
        "<html><body>502 Bad Gateway</body></html>",
        "<rss><channel><item>",
        feed("") + "<trailing/>",
        "<!DOCTYPE rss [<!ENTITY a \"aaaa\">]><rss><channel/></rss>",
        "<rss xmlns=\"http://example.com/ns\"><channel/></rss>",
    };
    for (const QByteArray& data : bad) {
        EXPECT_THROW(parse(data), AppcastError) << data.constData();
    }
    QByteArray huge = feed(QByteArray(AppcastParser::maximumFeedSize, ' '));
    EXPECT_THROW(parse(huge), AppcastError);
    EXPECT_NO_THROW(parse(feed("")));
}

TEST(UpdateUrlPolicyTest, OwnFeedsAreHttpsAndTestFeedsMayStayOnThisMachine) {
    const auto secure = UpdateUrlScope::secureOnly;
    const auto loopback = UpdateUrlScope::loopbackAllowed;
    EXPECT_TRUE(parseFeedURL("https://updates.example.com/appcast.xml", secure));
    EXPECT_FALSE(parseFeedURL("http://updates.example.com/appcast.xml", secure));
    EXPECT_FALSE(parseFeedURL("http://127.0.0.1:8080/appcast.xml", secure));
    EXPECT_FALSE(parseFeedURL("file:///tmp/appcast.xml", secure));
    EXPECT_FALSE(parseFeedURL("https:///appcast.xml", secure));
    EXPECT_FALSE(parseFeedURL("", loopback));
    EXPECT_FALSE(parseFeedURL("appcast.xml", loopback));

    EXPECT_TRUE(parseFeedURL("https://updates.example.com/appcast.xml", loopback));
    EXPECT_TRUE(parseFeedURL("http://127.0.0.1:8080/appcast.xml", loopback));
    EXPECT_TRUE(parseFeedURL("http://[::1]:8080/appcast.xml", loopback));
    EXPECT_TRUE(parseFeedURL("http://localhost/appcast.xml", loopback));
    EXPECT_TRUE(parseFeedURL("file:///tmp/appcast.xml", loopback));
    EXPECT_FALSE(parseFeedURL("http://10.0.0.2/appcast.xml", loopback));
    EXPECT_FALSE(parseFeedURL("http://127.0.0.1.example.com/appcast.xml", loopback));
    EXPECT_FALSE(parseFeedURL("file://server/share/appcast.xml", loopback));
    EXPECT_FALSE(parseFeedURL("ftp://127.0.0.1/appcast.xml", loopback));
}

TEST(EdSignatureTest, AcceptsOnlyTheKeysOwnSignatureOfTheWholeData) {
    ASSERT_GE(sodium_init(), 0);
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    const QByteArray data("the new program");
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(data.data()),
                         static_cast<unsigned long long>(data.size()), secretKey);
    const QString key = QByteArray(reinterpret_cast<char*>(publicKey), sizeof publicKey).toBase64();
    const QString good =
        QByteArray(reinterpret_cast<char*>(signature), sizeof signature).toBase64();

    EXPECT_EQ(checkEdSignature(data, good, key), SignatureCheck::valid);
    QByteArray flipped = data;
    flipped[3] = static_cast<char>(flipped[3] ^ 0x01);
    EXPECT_EQ(checkEdSignature(flipped, good, key), SignatureCheck::invalid);
    EXPECT_EQ(checkEdSignature(data + "x", good, key), SignatureCheck::invalid);
    EXPECT_EQ(checkEdSignature(data.left(data.size() - 1), good, key), SignatureCheck::invalid);

    EXPECT_EQ(checkEdSignature(data, good, std::nullopt), SignatureCheck::missingKey);
    EXPECT_EQ(checkEdSignature(data, good, QString("c2hvcnQ=")), SignatureCheck::missingKey);
    EXPECT_EQ(checkEdSignature(data, good, QString("not base64!")), SignatureCheck::missingKey);
    EXPECT_FALSE(isUsablePublicKey(QString()));
    EXPECT_TRUE(isUsablePublicKey(key));
    EXPECT_EQ(checkEdSignature(data, std::nullopt, key), SignatureCheck::missingSignature);
    EXPECT_EQ(checkEdSignature(data, QString("c2ln"), key), SignatureCheck::missingSignature);
}

}  // namespace
}  // namespace pellucine
