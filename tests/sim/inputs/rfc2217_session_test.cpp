#include "inputs/rfc2217_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kd::sim {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

using Kind = Rfc2217Session::Note::Kind;

std::vector<Kind> kinds(const Rfc2217Session::Result &result) {
    std::vector<Kind> out;
    for (const auto &note : result.notes)
        out.push_back(note.kind);
    return out;
}

// Each row is one connection from its start: what the client sends, in one piece and again byte by
// byte, and what the display answers, hands on as data and ends up with as the sender's line.
TEST(Rfc2217Session, AnswersAsAnAccessServer) {
    const struct {
        const char *what;
        std::string sent;
        std::string data;
        std::string reply;
        const char *line;
        std::vector<Kind> notes;
    } rows[] = {
        {"the client will control the line",
         bytes({0xFF, 0xFB, 44}),
         "",
         bytes({0xFF, 0xFD, 44}),
         "9600,N,8,1",
         {Kind::OptionAgreed}},
        {"the client asks the display to be the access server",
         bytes({0xFF, 0xFD, 44}),
         "",
         bytes({0xFF, 0xFB, 44}),
         "9600,N,8,1",
         {Kind::OptionAgreed}},
        {"an option asked for twice is answered once",
         bytes({0xFF, 0xFB, 0, 0xFF, 0xFB, 0}),
         "",
         bytes({0xFF, 0xFD, 0}),
         "9600,N,8,1",
         {}},
        {"no echo, no unknown options",
         bytes({0xFF, 0xFD, 1, 0xFF, 0xFB, 99}),
         "",
         bytes({0xFF, 0xFC, 1, 0xFF, 0xFE, 99}),
         "9600,N,8,1",
         {}},
        {"19200 baud, 7 data bits, even parity, 2 stop bits",
         bytes({0xFF, 0xFA, 44,   1,  0, 0, 0x4B, 0,    0xFF, 0xF0, 0xFF, 0xFA, 44, 2,    7,   0xFF,
                0xF0, 0xFF, 0xFA, 44, 3, 3, 0xFF, 0xF0, 0xFF, 0xFA, 44,   4,    2,  0xFF, 0xF0}),
         "",
         bytes({0xFF, 0xFA, 44,   101,  0,    0,    0x4B, 0,    0xFF, 0xF0, 0xFF,
                0xFA, 44,   102,  7,    0xFF, 0xF0, 0xFF, 0xFA, 44,   103,  3,
                0xFF, 0xF0, 0xFF, 0xFA, 44,   104,  2,    0xFF, 0xF0}),
         "19200,E,7,2",
         {Kind::LineChanged, Kind::LineChanged, Kind::LineChanged, Kind::LineChanged}},
        {"a query answers the current value",
         bytes({0xFF, 0xFA, 44, 1, 0, 0, 0, 0, 0xFF, 0xF0}),
         "",
         bytes({0xFF, 0xFA, 44, 101, 0, 0, 0x25, 0x80, 0xFF, 0xF0}),
         "9600,N,8,1",
         {Kind::LineQueried}},
        {"FF in a value is doubled both ways (255 baud)",
         bytes({0xFF, 0xFA, 44, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xF0}),
         "",
         bytes({0xFF, 0xFA, 44, 101, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xF0}),
         "255,N,8,1",
         {Kind::LineChanged}},
        {"FF in the data arrives doubled",
         bytes({'A', 0xFF, 0xFF, 'B'}),
         bytes({'A', 0xFF, 'B'}),
         "",
         "9600,N,8,1",
         {}},
        {"DTR on is confirmed, flow control queried",
         bytes({0xFF, 0xFA, 44, 5, 8, 0xFF, 0xF0, 0xFF, 0xFA, 44, 5, 0, 0xFF, 0xF0}),
         "",
         bytes({0xFF, 0xFA, 44, 105, 8, 0xFF, 0xF0, 0xFF, 0xFA, 44, 105, 1, 0xFF, 0xF0}),
         "9600,N,8,1",
         {Kind::Control, Kind::Control}},
        {"a baud rate with a missing byte is refused, nothing changes",
         bytes({0xFF, 0xFA, 44, 1, 0, 0x4B, 0, 0xFF, 0xF0, 'x'}),
         "x",
         "",
         "9600,N,8,1",
         {Kind::BrokenSubnegotiation}},
        {"a subnegotiation broken off by a command: the command still counts",
         bytes({0xFF, 0xFA, 44, 2, 7, 0xFF, 0xFB, 44, 'y'}),
         "y",
         bytes({0xFF, 0xFD, 44}),
         "9600,N,8,1",
         {Kind::BrokenSubnegotiation, Kind::OptionAgreed}},
        {"data bits out of range keep the line and answer it",
         bytes({0xFF, 0xFA, 44, 2, 9, 0xFF, 0xF0}),
         "",
         bytes({0xFF, 0xFA, 44, 102, 8, 0xFF, 0xF0}),
         "9600,N,8,1",
         {Kind::Refused}},
    };
    for (const auto &row : rows) {
        for (const bool byteByByte : {false, true}) {
            Rfc2217Session session(*parseLineSettings("9600,N,8,1").settings);
            Rfc2217Session::Result all;
            if (byteByByte) {
                for (const char c : row.sent) {
                    const auto part = session.feed(std::string_view(&c, 1));
                    all.data += part.data;
                    all.reply += part.reply;
                    all.notes.insert(all.notes.end(), part.notes.begin(), part.notes.end());
                }
            } else {
                all = session.feed(row.sent);
            }
            const std::string where = std::string(row.what) + (byteByByte ? " (byte by byte)" : "");
            EXPECT_EQ(all.data, row.data) << where;
            EXPECT_EQ(all.reply, row.reply) << where;
            EXPECT_EQ(formatLineSettings(session.line()), row.line) << where;
            EXPECT_EQ(kinds(all), row.notes) << where;
        }
    }
}

TEST(Rfc2217Session, AnswersToTheHostAreEscaped) {
    EXPECT_EQ(Rfc2217Session::escapeData(bytes({0x06, 0xFF, 0x15})),
              bytes({0x06, 0xFF, 0xFF, 0x15}));
    // An answer cut short on the connection: an FF counts only when both its bytes went.
    const std::string answer = bytes({0x06, 0xFF, 0x15});
    const std::size_t expected[] = {0, 1, 1, 2, 3, 3};
    for (std::size_t sent = 0; sent < std::size(expected); ++sent)
        EXPECT_EQ(Rfc2217Session::dataBytesSent(answer, sent), expected[sent]) << sent;
}

} // namespace
} // namespace kd::sim
