#pragma once

#include "core/engine/QuestionSetSender.h"

// The question set's pauses cut short for tests: the order of frames and rounds stays, the time
// between them goes (the keypads on the simulated line take them as fast).
QuestionSetSender::Timing quickSending();
