// The member tables of every class of the object model, for a page-script binding: walk a
// table's members() and define each as a property (get/put) or method (call) of the script
// object that wraps the same C++ object, so scripts and the driver share one object model.
#pragma once

#include "standin/html/collection.h"
#include "standin/html/dom.h"
#include "standin/html/member_table.h"
#include "standin/html/style_object.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {

const MemberTable<Element>& elementMembers(TagKind kind);
const MemberTable<CharacterNode>& characterNodeMembers();
const MemberTable<Document>& documentMembers();
// WindowObject::members(), LocationObject::members(), StyleObject::members(),
// Collection::members() complete the set.

}  // namespace trenmoor::html
