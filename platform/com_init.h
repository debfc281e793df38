// The per-thread COM initialisation count that CoInitialize and CoUninitialize keep.
#pragma once

namespace trenmoor::win {

using HRESULT = long;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005L);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002L);

// S_OK for the first initialisation of this thread, S_FALSE for each nested one.
HRESULT CoInitialize(void* reserved);
// Balances one CoInitialize of this thread; does nothing when the count is already 0.
void CoUninitialize();
// How many CoInitialize calls of this thread are not yet balanced.
int comInitializationCount();

}  // namespace trenmoor::win
