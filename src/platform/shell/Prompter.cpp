#include "platform/shell/Prompter.h"

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

Prompter* setPrompter(Prompter* p)
{
    Prompter* old = current;
    current = p;
    return old;
}

} // namespace shell
