#include "scene/render/ErrorReport.h"

#include <climits>

void CVErrorReport::Add(const std::wstring& message)
{
    std::wstring text = message;
    if (text.size() > kMaxLength) {
        text.resize(kMaxLength - 1);
        text += L'\u2026';
    }
    if (mMessages.size() == kMaxMessages) {
        mMessages.pop_front();
        if (mDropped < INT_MAX)
            ++mDropped;
    }
    mMessages.push_back(std::move(text));
}

void CVErrorReport::Clear()
{
    mMessages.clear();
    mDropped = 0;
}
