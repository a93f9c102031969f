#include "lsp/framing.h"

#include <gtest/gtest.h>

namespace lsp {
namespace {

std::vector<frame_event> feed_all(frame_reader& reader, std::string_view bytes,
                                  std::size_t piece = std::string_view::npos) {
  std::vector<frame_event> events;
  if (piece == std::string_view::npos) piece = bytes.size() + 1;
  for (std::size_t i = 0; i < bytes.size(); i += piece) reader.feed(bytes.substr(i, piece), events);
  return events;
}

std::vector<std::string> bodies(const std::vector<frame_event>& events) {
  std::vector<std::string> list;
  for (const frame_event& event : events) {
    list.push_back(event.kind == frame_event::message     ? event.body
                   : event.kind == frame_event::too_large ? "<too large>"
                                                          : "<bad header>");
  }
  return list;
}

TEST(LspFraming, MessagesInAnyPiecesComeOutWhole) {
  const std::string stream = frame("{\"a\":1}") + frame("") + frame("{\"b\":\"\xC3\xA9\"}") +
                             "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n"
                             "content-length:   2\r\n\r\n[]";
  for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{7}, stream.size()}) {
    frame_reader reader;
    EXPECT_EQ(bodies(feed_all(reader, stream, piece)),
              (std::vector<std::string>{"{\"a\":1}", "", "{\"b\":\"\xC3\xA9\"}", "[]"}))
        << "pieces of " << piece;
    EXPECT_FALSE(reader.in_message());
  }
}

TEST(LspFraming, BareNewlinesAndBlankLinesBetweenMessagesAreTolerated) {
  frame_reader reader;
  EXPECT_EQ(bodies(feed_all(reader, "\r\n\nContent-Length: 1\n\n1\r\nContent-Length: 1\r\n\r\n2")),
            (std::vector<std::string>{"1", "2"}));
}

TEST(LspFraming, BrokenHeadersCostTheirOwnFrameOnly) {
  frame_reader reader;
  // No length, a length that is no number, a line without a colon, and a
  // body glued to the next header: each is reported, the next frame is read.
  const std::string stream = "Content-Type: x\r\n\r\n{\"lost\":1}" + frame("1") +
                             "Content-Length: 12abc\r\n\r\n{}" + frame("2") + "garbage line\r\n" +
                             frame("3") + "Content-Length: -4\r\n\r\n" + frame("4");
  EXPECT_EQ(bodies(feed_all(reader, stream)),
            (std::vector<std::string>{"<bad header>", "1", "<bad header>", "2", "<bad header>", "3",
                                      "<bad header>", "4"}));
}

TEST(LspFraming, OverlongHeaderLineIsRefusedWithoutGrowing) {
  frame_reader reader;
  const std::string stream = std::string(max_header_line * 4, 'x') + frame("ok");
  const auto events = feed_all(reader, stream, 1000);
  EXPECT_EQ(bodies(events), (std::vector<std::string>{"<bad header>", "ok"}));
}

TEST(LspFraming, TooLargeMessageIsSkippedUnread) {
  frame_reader reader;
  const std::size_t size = max_message_size + 10;
  std::vector<frame_event> events;
  reader.feed("Content-Length: " + std::to_string(size) + "\r\n\r\n", events);
  ASSERT_EQ(bodies(events), std::vector<std::string>{"<too large>"});
  EXPECT_NE(events[0].detail.find(std::to_string(size)), std::string::npos);
  events.clear();
  // The skipped bytes may look like headers: they are skipped all the same.
  const std::string block(1 << 20, 'C');
  std::size_t left = size;
  while (left > 0) {
    const std::size_t take = std::min(left, block.size());
    reader.feed(std::string_view(block).substr(0, take), events);
    left -= take;
    EXPECT_TRUE(left == 0 || reader.in_message());
  }
  reader.feed(frame("after"), events);
  EXPECT_EQ(bodies(events), std::vector<std::string>{"after"});
}

TEST(LspFraming, HugeLengthNumbersDoNotOverflow) {
  frame_reader reader;
  const auto events = feed_all(reader, "Content-Length: 99999999999999999999999999999\r\n\r\n");
  EXPECT_EQ(bodies(events), std::vector<std::string>{"<too large>"});
}

TEST(LspFraming, KnowsWhenInputEndsInsideAMessage) {
  frame_reader reader;
  std::vector<frame_event> events;
  EXPECT_FALSE(reader.in_message());
  reader.feed("Content-Len", events);
  EXPECT_TRUE(reader.in_message());
  reader.feed("gth: 5\r\n\r\n{}", events);
  EXPECT_TRUE(reader.in_message());
  reader.feed("[1]", events);
  EXPECT_FALSE(reader.in_message());
  EXPECT_EQ(bodies(events), std::vector<std::string>{"{}[1]"});
}

TEST(LspFraming, FrameWritesTheByteCount) {
  EXPECT_EQ(frame("{\"\xC3\xA9\":1}"), "Content-Length: 8\r\n\r\n{\"\xC3\xA9\":1}");
}

}  // namespace
}  // namespace lsp
