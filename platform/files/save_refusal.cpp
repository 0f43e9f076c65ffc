#include "platform/files/save_refusal.h"

#include <string>

namespace platform {

namespace {

class SaveRefusalCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "save"; }
    std::string message(int value) const override {
        switch (static_cast<SaveRefusal>(value)) {
            case SaveRefusal::NotARegularFile:
                return "not a regular file";
            case SaveRefusal::LinkOfAnotherUser:
                return "another user's symbolic link in a sticky world-writable folder";
        }
        return "refused";
    }
};

}  // namespace

std::error_code make_error_code(SaveRefusal refusal) {
    static const SaveRefusalCategory category;
    return {static_cast<int>(refusal), category};
}

}  // namespace platform
