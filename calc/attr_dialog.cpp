// The attributes dialog, built from the awt toolkit's control models: a label and
// an edit field per attribute, so many rows a page, with buttons that turn the
// pages (the dialog model's Step: controls of Step 0 show on every page).
#include "attr_dialog.hpp"

#include <algorithm>

#include <cppuhelper/implbase1.hxx>

#include <com/sun/star/awt/PushButtonType.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/UnoControlDialog.hpp>
#include <com/sun/star/awt/XActionListener.hpp>
#include <com/sun/star/awt/XButton.hpp>
#include <com/sun/star/awt/XControl.hpp>
#include <com/sun/star/awt/XControlModel.hpp>
#include <com/sun/star/awt/XTextComponent.hpp>
#include <com/sun/star/awt/XUnoControlDialog.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

#include "cli/i18n.hpp"

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace ormelin::calc {

namespace {

// The layout in the dialog's units (appfont: a quarter of a character's width, an
// eighth of its height).
constexpr int kRowsPerPage = 13;
constexpr int kMargin = 6;
constexpr int kLabelWidth = 250;
constexpr int kEditWidth = 160;
constexpr int kRowHeight = 18;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

/// Turns the dialog's page by delta, within 1..pages, and says which it shows.
class PageTurner final : public cppu::WeakImplHelper1<awt::XActionListener> {
public:
    PageTurner(Reference<beans::XPropertySet> dialog, Reference<beans::XPropertySet> caption, int delta, int pages)
        : dialog_(std::move(dialog)), caption_(std::move(caption)), delta_(delta), pages_(pages) {}

    void SAL_CALL actionPerformed(const awt::ActionEvent&) override {
        sal_Int32 step = 1;
        dialog_->getPropertyValue("Step") >>= step;
        step = std::clamp(step + delta_, 1, pages_);
        dialog_->setPropertyValue("Step", Any(step));
        caption_->setPropertyValue("Label", Any(Caption(step, pages_)));
    }
    void SAL_CALL disposing(const lang::EventObject&) override {}

    static OUString Caption(int page, int pages) {
        return U(cli::Say("page {1} of {2}", {std::to_string(page), std::to_string(pages)}));
    }

private:
    Reference<beans::XPropertySet> dialog_, caption_;
    sal_Int32 delta_, pages_;
};

/// Adds a control model to the dialog model under a name, placed at x, y.
Reference<beans::XPropertySet> Add(const Reference<lang::XMultiServiceFactory>& factory,
                                   const Reference<container::XNameContainer>& controls, const char* service,
                                   const std::string& name, int x, int y, int width, int height, int step) {
    Reference<beans::XPropertySet> model(factory->createInstance(OUString::createFromAscii(service)), UNO_QUERY_THROW);
    model->setPropertyValue("PositionX", Any(sal_Int32(x)));
    model->setPropertyValue("PositionY", Any(sal_Int32(y)));
    model->setPropertyValue("Width", Any(sal_Int32(width)));
    model->setPropertyValue("Height", Any(sal_Int32(height)));
    model->setPropertyValue("Step", Any(sal_Int32(step)));
    controls->insertByName(U(name), Any(model));
    return model;
}

}  // namespace

std::optional<AttributeValues> EditAttributes(const Reference<uno::XComponentContext>& ctx,
                                              const Reference<frame::XFrame>& frame,
                                              const std::vector<AttributeRow>& rows, const std::string& title) {
    const int count = static_cast<int>(rows.size());
    const int pages = std::max(1, (count + kRowsPerPage - 1) / kRowsPerPage);
    const int width = kMargin * 3 + kLabelWidth + kEditWidth;
    const int buttonsY = kMargin * 2 + kRowsPerPage * kRowHeight;
    const int height = buttonsY + kButtonHeight + kMargin;

    Reference<lang::XMultiComponentFactory> smgr = ctx->getServiceManager();
    Reference<beans::XPropertySet> dialogModel(
        smgr->createInstanceWithContext("com.sun.star.awt.UnoControlDialogModel", ctx), UNO_QUERY_THROW);
    dialogModel->setPropertyValue("PositionX", Any(sal_Int32(60)));
    dialogModel->setPropertyValue("PositionY", Any(sal_Int32(30)));
    dialogModel->setPropertyValue("Width", Any(sal_Int32(width)));
    dialogModel->setPropertyValue("Height", Any(sal_Int32(height)));
    dialogModel->setPropertyValue("Title", Any(U(title)));
    dialogModel->setPropertyValue("Step", Any(sal_Int32(1)));
    Reference<lang::XMultiServiceFactory> factory(dialogModel, UNO_QUERY_THROW);
    Reference<container::XNameContainer> controls(dialogModel, UNO_QUERY_THROW);

    for (int i = 0; i < count; ++i) {
        const AttributeRow& row = rows[static_cast<std::size_t>(i)];
        const int page = i / kRowsPerPage + 1;
        const int y = kMargin + (i % kRowsPerPage) * kRowHeight;
        auto label = Add(factory, controls, "com.sun.star.awt.UnoControlFixedTextModel", "label." + row.name, kMargin,
                         y, kLabelWidth, kRowHeight - 2, page);
        label->setPropertyValue("Label", Any(U(row.name + ": " + row.field)));
        label->setPropertyValue("MultiLine", Any(true));
        auto edit = Add(factory, controls, "com.sun.star.awt.UnoControlEditModel", row.name,
                        kMargin * 2 + kLabelWidth, y, kEditWidth, 12, page);
        edit->setPropertyValue("Text", Any(U(row.value)));
        edit->setPropertyValue("ReadOnly", Any(!row.settable));
    }
    auto button = [&](const std::string& name, const std::string& label, int x, sal_Int16 type) {
        auto model = Add(factory, controls, "com.sun.star.awt.UnoControlButtonModel", name, x, buttonsY, kButtonWidth,
                         kButtonHeight, 0);
        model->setPropertyValue("Label", Any(U(label)));
        model->setPropertyValue("PushButtonType", Any(type));
        return model;
    };
    const sal_Int16 standard = static_cast<sal_Int16>(awt::PushButtonType_STANDARD);
    button("back", cli::Tr("< Back"), kMargin, standard);
    button("next", cli::Tr("Next >"), kMargin * 2 + kButtonWidth, standard);
    auto caption = Add(factory, controls, "com.sun.star.awt.UnoControlFixedTextModel", "page",
                       kMargin * 3 + kButtonWidth * 2, buttonsY + 3, kButtonWidth * 2, kButtonHeight - 3, 0);
    caption->setPropertyValue("Label", Any(PageTurner::Caption(1, pages)));
    auto ok = button("ok", "OK", width - 2 * (kButtonWidth + kMargin), static_cast<sal_Int16>(awt::PushButtonType_OK));
    ok->setPropertyValue("DefaultButton", Any(true));
    button("cancel", cli::Tr("Cancel"), width - kButtonWidth - kMargin, static_cast<sal_Int16>(awt::PushButtonType_CANCEL));

    Reference<awt::XUnoControlDialog> dialog = awt::UnoControlDialog::create(ctx);
    dialog->setModel(Reference<awt::XControlModel>(dialogModel, UNO_QUERY_THROW));
    Reference<awt::XWindowPeer> parent(frame.is() ? frame->getContainerWindow() : nullptr, UNO_QUERY);
    dialog->createPeer(Reference<awt::XToolkit>(awt::Toolkit::create(ctx), UNO_QUERY_THROW), parent);
    Reference<awt::XButton>(dialog->getControl("back"), UNO_QUERY_THROW)
        ->addActionListener(new PageTurner(dialogModel, caption, -1, pages));
    Reference<awt::XButton>(dialog->getControl("next"), UNO_QUERY_THROW)
        ->addActionListener(new PageTurner(dialogModel, caption, +1, pages));

    const bool accepted = dialog->execute() == 1;
    std::optional<AttributeValues> changed;
    if (accepted) {
        changed.emplace();
        for (const AttributeRow& row : rows) {
            if (!row.settable) continue;
            Reference<awt::XTextComponent> edit(dialog->getControl(U(row.name)), UNO_QUERY_THROW);
            const std::string value = S(edit->getText());
            if (value != row.value) changed->emplace_back(row.name, value);
        }
    }
    Reference<lang::XComponent>(dialog, UNO_QUERY_THROW)->dispose();
    return changed;
}

}  // namespace ormelin::calc
