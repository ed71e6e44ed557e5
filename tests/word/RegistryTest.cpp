#include <gtest/gtest.h>

#include "word/Registry.h"

namespace {

TEST(Registry, UnknownNameAndFailingFactoryRaise429) {
    word::Registry registry;
    try {
        registry.CreateObject("Word.Application");
        FAIL() << "created an object that was never registered";
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), 429);
    }
    registry.Register("Word.Application", []() -> std::shared_ptr<word::Application> {
        throw std::runtime_error("no engine");
    });
    EXPECT_THROW(registry.CreateObject("Word.Application"), word::Error);
    registry.Register("Word.Application", [] { return std::shared_ptr<word::Application>(); });
    EXPECT_THROW(registry.CreateObject("Word.Application"), word::Error);
}

}  // namespace
