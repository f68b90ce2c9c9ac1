#pragma once
#include "fakes/ViewFakes.h"

#include <gtest/gtest.h>

namespace kovo::test {

class ViewTest : public ::testing::Test, public ViewRig {
protected:
    CFrequencyData& main() { return doc.mainRecord; }
    CControlParams& params() { return doc.controlParams; }
    PanelStack& stack() { return view->stack(); }
};

} // namespace kovo::test
