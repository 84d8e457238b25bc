#include "platform/win32/CrashFilter.h"

#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"

namespace ravlin {
namespace {

// Filled inside the filter, where the heap may be broken: fixed storage only.
// The module is named later, on the user-interface thread.
struct Slot {
  volatile LONG threadId;  // 0: free
  DWORD code;
  ULONG_PTR address;
  HMODULE module;
};

constexpr LONG kSlots = 16;
Slot g_slots[kSlots];
volatile LONG g_next = 0;
DWORD g_uiThread = 0;
LPTOP_LEVEL_EXCEPTION_FILTER g_previous = nullptr;

LONG WINAPI EndFaultingThread(EXCEPTION_POINTERS* pointers) {
  if (GetCurrentThreadId() == g_uiThread)
    return g_previous ? g_previous(pointers) : EXCEPTION_CONTINUE_SEARCH;
  Slot& slot = g_slots[static_cast<ULONG>(InterlockedIncrement(&g_next)) % kSlots];
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  slot.code = record.ExceptionCode;
  slot.address = reinterpret_cast<ULONG_PTR>(record.ExceptionAddress);
  slot.module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCSTR>(record.ExceptionAddress), &slot.module);
  InterlockedExchange(&slot.threadId, static_cast<LONG>(GetCurrentThreadId()));
  ExitThread(record.ExceptionCode);
}

}  // namespace

void InstallCrashFilter() {
  g_uiThread = GetCurrentThreadId();
  const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&EndFaultingThread);
  if (previous != &EndFaultingThread) g_previous = previous;
}

bool TakeCrashRecord(uint32_t threadId, CrashRecord* record) {
  for (Slot& slot : g_slots) {
    if (static_cast<uint32_t>(slot.threadId) != threadId || threadId == 0) continue;
    record->code = slot.code;
    record->address = slot.address;
    record->module.clear();
    record->offset = 0;
    // A module with a fault in it stays loaded: a crashed control is never released.
    // Whatever the length of its path: one of 260 characters or more would be cut short otherwise.
    const std::string full = slot.module ? ModuleFileName(slot.module) : std::string();
    if (!full.empty()) {
      record->module = full.substr(full.find_last_of("\\/") + 1);
      record->offset = slot.address - reinterpret_cast<ULONG_PTR>(slot.module);
    }
    InterlockedExchange(&slot.threadId, 0);
    return true;
  }
  return false;
}

}  // namespace ravlin
