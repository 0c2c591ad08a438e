#include <gtest/gtest.h>

#include "app/InstanceMessage.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using State = InstanceMessageReader::State;

State read(const QByteArray& bytes, InstanceMessage* message = nullptr) {
    InstanceMessageReader reader;
    const State state = reader.feed(bytes);
    if (message != nullptr) {
        *message = reader.message();
    }
    return state;
}

TEST(InstanceMessageTest, LinksOrAReopenRequestSurviveTheRoundTripByteByByte) {
    const QStringList links{"pellucine://settings/dock", "pellucine://diagnostics",
                            QStringLiteral("pellucine://settings/\u00e9t\u00e9")};
    for (const QStringList& sent : {links, QStringList{}}) {
        const QByteArray bytes = InstanceMessage::encode(sent);
        InstanceMessageReader reader;
        for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
            ASSERT_EQ(reader.feed(bytes.mid(i, 1)), State::reading) << i;
        }
        ASSERT_EQ(reader.feed(bytes.right(1)), State::complete);
        EXPECT_EQ(reader.message(), (InstanceMessage{sent, sent.isEmpty()}));
        // Whatever follows the end is ignored.
        EXPECT_EQ(reader.feed("link pellucine://about\nend\n"), State::complete);
        EXPECT_EQ(reader.message().links, sent);
    }
}

TEST(InstanceMessageTest, LinksWithLineBreaksAreNotSent) {
    InstanceMessage message;
    EXPECT_EQ(read(InstanceMessage::encode({"pellucine://a\nend", "pellucine://b"}), &message),
              State::complete);
    EXPECT_EQ(message.links, QStringList{"pellucine://b"});
    EXPECT_EQ(read(InstanceMessage::encode({"x\r"}), &message), State::complete);
    EXPECT_TRUE(message.reopen);
}

TEST(InstanceMessageTest, AnythingButTheProtocolIsRefused) {
    const QByteArray tooLong(InstanceMessage::maximumLineLength + 1, 'a');
    QByteArray tooMany;
    for (int i = 0; i <= InstanceMessage::maximumLinks; ++i) {
        tooMany += "link pellucine://settings\n";
    }
    for (const QByteArray& bytes :
         {QByteArray("end\n"), QByteArray("hello\nend\n"), QByteArray("LINK x\nend\n"),
          QByteArray("link x\nreopen\nend\n"), QByteArray("reopen\nlink x\nend\n"),
          QByteArray("reopen\nreopen\nend\n"), QByteArray("link x\nend \n"),
          QByteArray("link ") + tooLong + "\nend\n", tooMany + "end\n"}) {
        EXPECT_EQ(read(bytes), State::invalid) << bytes.left(60).toStdString();
    }
    // A line that grows past the limit is refused before its end arrives.
    EXPECT_EQ(read("link " + tooLong), State::invalid);
    EXPECT_EQ(read(QByteArray("link ") + QByteArray(100, 'a')), State::reading);
    // The longest allowed line and the most links are fine.
    const QByteArray longest = "link " + QByteArray(InstanceMessage::maximumLineLength - 5, 'a');
    EXPECT_EQ(read(longest + "\nend\n"), State::complete);
    tooMany.chop(QByteArray("link pellucine://settings\n").size());
    EXPECT_EQ(read(tooMany + "end\n"), State::complete);
}

}  // namespace
}  // namespace pellucine
