#pragma once
// A QGuiApplication for GoogleTest programs that paint through Qt: made on first use and
// destroyed when the test program's environments are torn down, before main() returns. (A
// function-local static would be destroyed after Qt's thread storage, leaking what it holds.)
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace tavora::test {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    static QGuiApplication& app() {
        if (!s_app) {
            static int argc = 1;
            static char name[] = "tavora_test";
            static char* argv[] = {name, nullptr};
            s_app = std::make_unique<QGuiApplication>(argc, argv);
            // Environments added while the tests run are torn down with the others.
            ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
        }
        return *s_app;
    }
    void TearDown() override { s_app.reset(); }

private:
    static inline std::unique_ptr<QGuiApplication> s_app;
};

} // namespace tavora::test
