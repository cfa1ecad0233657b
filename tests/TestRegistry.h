#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Qt Test classes register themselves, so that one executable per folder
// runs them all (tests/QtTestMain.cpp).
using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& registeredTests()
{
    static std::vector<TestFactory> tests;
    return tests;
}

template <class Test>
struct RegisterTest
{
    RegisterTest() { registeredTests().push_back([] { return std::make_unique<Test>(); }); }
};

#define REGISTER_TEST(Class) static RegisterTest<Class> registered##Class;
