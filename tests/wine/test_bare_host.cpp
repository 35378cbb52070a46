// A host whose main module exports none of the services.
#include "PluginTest.h"

namespace {

TEST_F(PluginTest, HostWithoutServicesLeavesEveryEntryNullAndIsNeverCalled) {
    EXPECT_EQ(plugin.Init(PluginPath().c_str(), 1), ExpectedTrue);
    EXPECT_EQ(record.procLookups.size(), 9u);
    for (FARPROC p : record.procResults) EXPECT_EQ(p, nullptr);

    // The switch still takes its new values without a service to tell.
    EXPECT_EQ(plugin.Execute(0, 0), ExpectedTrue);
    EXPECT_EQ(plugin.Execute(1, 0), 0u) << "switched off";
    EXPECT_EQ(plugin.Execute(0, 0), ExpectedTrue);
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN) << "switched on again";
}

}  // namespace
