// The dialog of the menu's "Атрибуты документа…": the register's attributes of
// a document, a label (name and field) and an edit field each, on pages.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "commands.hpp"

namespace ormelin::calc {

/// Shows the rows for editing (those not settable read-only). OK: the values the
/// user changed, in the rows' order (empty when none); Cancel: nothing.
std::optional<AttributeValues> EditAttributes(const css::uno::Reference<css::uno::XComponentContext>& ctx,
                                              const css::uno::Reference<css::frame::XFrame>& frame,
                                              const std::vector<AttributeRow>& rows, const std::string& title);

}  // namespace ormelin::calc
