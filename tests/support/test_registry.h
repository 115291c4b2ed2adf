#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Several Qt Test classes in one executable per library: each class registers
// itself with REZYDO_TEST and the shared main runs them all in turn.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<std::pair<const char*, TestFactory>>& testRegistry();

struct TestRegistration {
    TestRegistration(const char* name, TestFactory factory)
    {
        testRegistry().emplace_back(name, std::move(factory));
    }
};

#define REZYDO_TEST(Class)                                                                         \
    static const TestRegistration rezydoTestRegistration_##Class(                                  \
        #Class, [] { return std::unique_ptr<QObject>(new Class); })
