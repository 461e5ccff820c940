// A short list of messages about what a render area could not do (an image
// that is missing or damaged, for instance), for the host to read and clear.
// Bounded: the newest kMaxMessages messages of at most kMaxLength characters
// each are kept; older ones are dropped and counted.
#pragma once

#include <deque>
#include <string>
#include <vector>

class CVErrorReport {
public:
    static constexpr size_t kMaxMessages = 32;
    static constexpr size_t kMaxLength = 512;

    // Adds a message, cut at kMaxLength characters (an ellipsis marks the cut).
    void Add(const std::wstring& message);
    // The kept messages, oldest first.
    std::vector<std::wstring> GetMessages() const { return {mMessages.begin(), mMessages.end()}; }
    int GetCount() const { return int(mMessages.size()); }
    // How many messages were dropped to keep within the bound since the last Clear.
    int GetDroppedCount() const { return mDropped; }
    void Clear();

private:
    std::deque<std::wstring> mMessages;
    int mDropped = 0;
};
