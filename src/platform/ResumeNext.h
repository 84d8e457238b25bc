#pragma once
#include <exception>

namespace ravlin {

// Runs one step of a routine that skips a failing step and goes on.
template <typename Step>
void ResumeNext(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace ravlin
