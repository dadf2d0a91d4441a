#pragma once
// The one message a second start of the program sends to the first: a copy-data code with its
// bytes, or a shell command in bracket syntax. On the wire: code and length as 32-bit
// little-endian integers, then the bytes. The answer is one 32-bit integer.

#include <cstdint>
#include <optional>
#include <string>

constexpr int COPYDATA_PING = 10;     // answered TRUE
constexpr int COPYDATA_PROJECT = 11;  // TRUE when a project is current
constexpr int COPYDATA_OPEN = 12;     // the command line's file
constexpr int COPYDATA_COMMAND = 100; // a shell command ("[open(\"...\")]")

constexpr std::size_t INSTANCE_MESSAGE_MAX = 64 * 1024;

struct InstanceMessage
{
    int code = 0;
    std::string data;
};

enum class MessageState
{
    Incomplete, // more bytes are needed
    Complete,
    Invalid // too long or malformed: answered FALSE
};

std::string EncodeInstanceMessage(const InstanceMessage& message);
// Reads a message from the bytes received so far.
MessageState DecodeInstanceMessage(const std::string& bytes, InstanceMessage& out);

// The path of a copy-data open: exactly the bytes sent, one trailing NUL dropped.
std::string CopyDataPath(const std::string& data);

enum class ShellCommandKind
{
    Open,
    Print,
    PrintTo
};

struct ShellCommand
{
    ShellCommandKind kind = ShellCommandKind::Open;
    std::string path;
};

// "[open(\"path\")]", "[print(\"path\")]" or "[printto(\"path\",...)]"; none for anything else
// or when the path has no closing quote.
std::optional<ShellCommand> ParseShellCommand(const std::string& command);
