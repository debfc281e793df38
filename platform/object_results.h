// Handing an object across a window message: the answering window turns the object into a
// message result, and the asker turns the result back into the object.
#pragma once

#include <cstdint>

#include "platform/class_id.h"
#include "platform/com_init.h"
#include "platform/dispatch.h"
#include "platform/window_calls.h"

namespace trenmoor::win {

// {626FC520-A41E-11CF-A731-00A0C9082637}: the HTML document interface.
constexpr GUID IID_IHTMLDocument{0x626FC520, 0xA41E, 0x11CF, {0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37}};

// A result for the object that answers `iid`; the result holds a reference until it is
// redeemed once with ObjectFromLresult. 0 for an empty object.
LRESULT LresultFromObject(const GUID& iid, WPARAM wParam, const DispatchRef& object);

// Redeems a result of LresultFromObject. S_OK with *object set; E_INVALIDARG (object
// untouched) for 0, an unknown or already redeemed result, or a null out-parameter;
// E_NOINTERFACE when the object was handed out for another interface.
HRESULT ObjectFromLresult(LRESULT result, const GUID& iid, WPARAM wParam, DispatchRef* object);

}  // namespace trenmoor::win
