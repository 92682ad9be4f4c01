#pragma once
// A connected simulated board, loaded by the device layer as its USB library, with the
// connect's calls left out of the logs.
#include "tests/support/WorkerBoard.h"

class BoardTest : public WorkerBoardTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorkerBoardTest::SetUp());
        tb_log_clear();
    }
};
