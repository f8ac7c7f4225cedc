#include "platform/shell/Prompter.h"

#include "platform/shell/Progress.h"

#include <stdexcept>

namespace shell {

namespace {
Prompter* current = nullptr;
}

Prompter& prompter()
{
    if (!current)
        throw std::logic_error("no prompter installed");
    return *current;
}

bool hasPrompter() { return current != nullptr; }

std::unique_ptr<ProgressSink> Prompter::beginProgress(const ProgressRequest&)
{
    return nullptr;
}

Prompter* setPrompter(Prompter* p)
{
    Prompter* old = current;
    current = p;
    return old;
}

} // namespace shell
