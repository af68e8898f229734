#include "support/fake_ui.h"

namespace zs::test {

std::vector<std::string> FakeUi::message_texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
        out.push_back(m.text);
    return out;
}

}  // namespace zs::test
