#include "app/InstanceMessage.h"

namespace {

void PutInt(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t GetInt(const std::string& in, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]))
             << (8 * i);
    return v;
}

} // namespace

std::string EncodeInstanceMessage(const InstanceMessage& message)
{
    std::string out;
    PutInt(out, static_cast<std::uint32_t>(message.code));
    PutInt(out, static_cast<std::uint32_t>(message.data.size()));
    out += message.data;
    return out;
}

MessageState DecodeInstanceMessage(const std::string& bytes, InstanceMessage& out)
{
    if (bytes.size() > INSTANCE_MESSAGE_MAX + 8)
        return MessageState::Invalid;
    if (bytes.size() < 8)
        return MessageState::Incomplete;
    const std::uint32_t length = GetInt(bytes, 4);
    if (length > INSTANCE_MESSAGE_MAX)
        return MessageState::Invalid;
    if (bytes.size() < 8 + static_cast<std::size_t>(length))
        return MessageState::Incomplete;
    if (bytes.size() > 8 + static_cast<std::size_t>(length))
        return MessageState::Invalid;
    out.code = static_cast<int>(GetInt(bytes, 0));
    out.data = bytes.substr(8, length);
    return MessageState::Complete;
}

std::string CopyDataPath(const std::string& data)
{
    if (!data.empty() && data.back() == '\0')
        return data.substr(0, data.size() - 1);
    return data;
}

std::optional<ShellCommand> ParseShellCommand(const std::string& command)
{
    static const struct
    {
        const char* prefix;
        ShellCommandKind kind;
    } kPrefixes[] = {{"[open(\"", ShellCommandKind::Open},
                     {"[print(\"", ShellCommandKind::Print},
                     {"[printto(\"", ShellCommandKind::PrintTo}};
    for (const auto& p : kPrefixes) {
        const std::string prefix = p.prefix;
        if (command.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::size_t close = command.find('"', prefix.size());
        if (close == std::string::npos)
            return std::nullopt;
        return ShellCommand{p.kind, command.substr(prefix.size(), close - prefix.size())};
    }
    return std::nullopt;
}
