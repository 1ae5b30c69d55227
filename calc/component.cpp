// The extension's component: the protocol handler of the ESKD menu's commands
// ("ormelin:form" and the others, Addons.xcu), each run on the frame's document
// through the typed service over the Calc host, as one undo step.
//
// Commands (the URL's path):
//   new:KIND            a new document of a kind (the kind table's command word)
//   form[:print][:revisions]
//                       forms the active sheet's list (with print setup; with a
//                       change-registration sheet)
//   rollback            rolls the active sheet's formed document back
//   attributes          the dialog of the register's attributes of the active
//                       sheet's document; with dispatch arguments (name: the
//                       attribute, value: its text) sets those without the
//                       dialog, as the dialog's OK does (for scripts)
//   attribute:NAME=VALUE sets one attribute (for scripts)
//   import              asks for a BOM file and fills the active sheet's list
//   import:PATH         fills it from PATH (for scripts)
//   check               the check's findings on the active sheet's document (or
//                       every document), in a message box; changes nothing
//   pdf                 asks for a PDF file and prints the active sheet's formed
//                       document (or every formed document) into it
//   pdf:PATH            prints into PATH (for scripts)
#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <cppuhelper/implbase4.hxx>
#include <cppuhelper/implementationentry.hxx>
#include <cppuhelper/supportsservice.hxx>
#include <osl/file.hxx>
#include <rtl/ustring.hxx>

#include <com/sun/star/awt/MessageBoxButtons.hpp>
#include <com/sun/star/awt/MessageBoxResults.hpp>
#include <com/sun/star/awt/MessageBoxType.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XMessageBoxFactory.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/DispatchDescriptor.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XInitialization.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/task/XStatusIndicator.hpp>
#include <com/sun/star/task/XStatusIndicatorFactory.hpp>
#include <com/sun/star/ui/dialogs/ExecutableDialogResults.hpp>
#include <com/sun/star/ui/dialogs/FilePicker.hpp>
#include <com/sun/star/ui/dialogs/TemplateDescription.hpp>
#include <com/sun/star/ui/dialogs/XFilePicker3.hpp>
#include <com/sun/star/util/URL.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include "calc/attr_dialog.hpp"
#include "calc/calc_host.hpp"
#include "calc/calc_undo.hpp"
#include "calc/commands.hpp"
#include "cli/i18n.hpp"

using namespace css;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace ormelin::calc {

namespace {

constexpr char kImpl[] = "org.ormelin.calc.Commands";
constexpr char kService[] = "com.sun.star.frame.ProtocolHandler";
constexpr char kProtocol[] = "ormelin:";

/// The file beside the component (the extension's folder).
std::string ExtensionDir() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ExtensionDir), &info) || !info.dli_fname) return ".";
    std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

/// The office's interface language (its configuration's ooLocale), or "".
std::string UiLocale(const Reference<uno::XComponentContext>& ctx) {
    try {
        auto provider = configuration::theDefaultProvider::get(ctx);
        beans::NamedValue path;
        path.Name = "nodepath";
        path.Value <<= OUString("/org.openoffice.Setup/L10N");
        Sequence<Any> args(1);
        args.getArray()[0] <<= path;
        Reference<container::XNameAccess> l10n(
            provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationAccess", args),
            UNO_QUERY_THROW);
        OUString locale;
        l10n->getByName("ooLocale") >>= locale;
        return S(locale);
    } catch (const uno::Exception&) {
        return {};
    }
}

/// A file chosen with Calc's file dialog (saving: the name proposed), or
/// nothing when the user cancelled.
std::optional<std::string> PickFile(const Reference<uno::XComponentContext>& ctx, bool save, const char* filterTitle,
                                    const char* filter, const std::string& name) {
    const sal_Int16 mode = save ? ui::dialogs::TemplateDescription::FILESAVE_AUTOEXTENSION
                                : ui::dialogs::TemplateDescription::FILEOPEN_SIMPLE;
    auto picker = ui::dialogs::FilePicker::createWithMode(ctx, mode);
    picker->appendFilter(OUString::createFromAscii(filterTitle), OUString::createFromAscii(filter));
    if (!name.empty()) picker->setDefaultName(U(name));
    if (picker->execute() != ui::dialogs::ExecutableDialogResults::OK) return std::nullopt;
    const Sequence<OUString> files = picker->getSelectedFiles();
    if (!files.hasElements()) return std::nullopt;
    OUString path;
    osl::FileBase::getSystemPathFromFileURL(files[0], path);
    return S(path);
}

/// Calc's message boxes and file dialog. With ORMELIN_CALC_MESSAGES set (scripts
/// and the tests drive a headless office) every message is appended to that
/// file instead, one per line, and questions are answered OK.
class CalcUi final : public host::Ui {
public:
    CalcUi(Reference<uno::XComponentContext> ctx, Reference<frame::XFrame> frame)
        : ctx_(std::move(ctx)), frame_(std::move(frame)) {}

    host::MsgResult MsgBox(const std::string& text, host::MsgButtons buttons, host::MsgIcon icon,
                           const std::string& title) override {
        if (const char* log = std::getenv("ORMELIN_CALC_MESSAGES"); log && *log) {
            std::ofstream(log, std::ios::app) << text << '\n';
            return host::MsgResult::OK;
        }
        Reference<awt::XMessageBoxFactory> factory(awt::Toolkit::create(ctx_), UNO_QUERY_THROW);
        Reference<awt::XWindowPeer> parent(frame_.is() ? frame_->getContainerWindow() : nullptr, UNO_QUERY);
        const awt::MessageBoxType type = icon == host::MsgIcon::Critical      ? awt::MessageBoxType_ERRORBOX
                                         : icon == host::MsgIcon::Exclamation ? awt::MessageBoxType_WARNINGBOX
                                         : icon == host::MsgIcon::Question    ? awt::MessageBoxType_QUERYBOX
                                                                              : awt::MessageBoxType_INFOBOX;
        const sal_Int32 kind = buttons == host::MsgButtons::OKCancel ? awt::MessageBoxButtons::BUTTONS_OK_CANCEL
                                                                     : awt::MessageBoxButtons::BUTTONS_OK;
        auto box = factory->createMessageBox(parent, type, kind, U(title.empty() ? std::string("ЕСКД") : title), U(text));
        const sal_Int16 answer = box->execute();
        return answer == awt::MessageBoxResults::CANCEL ? host::MsgResult::Cancel : host::MsgResult::OK;
    }

    std::optional<std::string> GetSaveAsFilename(const std::string& initialFileName, const std::string&) override {
        return PickFile(ctx_, true, "Excel 2007-365", "*.xlsx", initialFileName);
    }

private:
    Reference<uno::XComponentContext> ctx_;
    Reference<frame::XFrame> frame_;
};

/// One undo step, the controllers locked and the status bar's indicator for the
/// command's life; a command that only reads gets the indicator alone.
class Step {
public:
    Step(const Reference<frame::XModel>& model, const Reference<frame::XFrame>& frame, const std::string& title,
         bool changes)
        : model_(model) {
        Reference<task::XStatusIndicatorFactory> status(frame, UNO_QUERY);
        if (status.is()) indicator_ = status->createStatusIndicator();
        if (indicator_.is()) indicator_->start(U("ЕСКД: " + title), 0);
        if (!changes) return;
        locked_ = true;
        Reference<document::XUndoManagerSupplier> undo(model, UNO_QUERY);
        if (undo.is()) {
            undo_ = undo->getUndoManager();
            steps_ = undo_->getAllUndoActionTitles().getLength();
            undo_->enterUndoContext(U(title));
        }
        lock_.set(model, UNO_QUERY);
        model_->lockControllers();
        // Calc fits the heights of rows to their text after every merge and copy
        // (most of a form's time); the host sets every height it wants itself.
        props_.set(model, UNO_QUERY);
        try {
            if (props_.is()) props_->setPropertyValue("IsAdjustHeightEnabled", Any(false));
        } catch (const uno::Exception&) {
            props_.clear();
        }
        if (lock_.is()) lock_->addActionLock();
    }
    ~Step() {
        try {
            if (indicator_.is()) indicator_->end();
            if (props_.is()) props_->setPropertyValue("IsAdjustHeightEnabled", Any(true));
            if (lock_.is()) lock_->removeActionLock();
            if (locked_) model_->unlockControllers();
            if (undo_.is()) undo_->leaveUndoContext();
            // Calc keeps an empty step too: a command that changed nothing leaves
            // none, and one that failed half-way leaves the document as it was.
            if (undo_.is() && !keep_ && undo_->getAllUndoActionTitles().getLength() > steps_) {
                undo_->undo();
                undo_->clearRedo();
            }
        } catch (...) {
        }
    }
    /// Whether the command changed the document (its step is kept).
    void Keep(bool changed) { keep_ = changed; }
    /// Adds an action of the host's own at this point of the step.
    void Add(const Reference<document::XUndoAction>& action) {
        if (undo_.is() && action.is()) undo_->addUndoAction(action);
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    Reference<frame::XModel> model_;
    Reference<document::XUndoManager> undo_;
    Reference<document::XActionLockable> lock_;
    Reference<beans::XPropertySet> props_;
    Reference<task::XStatusIndicator> indicator_;
    bool locked_ = false, keep_ = true;
    sal_Int32 steps_ = 0;
};

class Commands final : public cppu::WeakImplHelper4<frame::XDispatchProvider, frame::XDispatch,
                                                  lang::XInitialization, lang::XServiceInfo> {
public:
    explicit Commands(const Reference<uno::XComponentContext>& ctx) : ctx_(ctx) {}

    // XInitialization: the frame the menu belongs to
    void SAL_CALL initialize(const Sequence<Any>& args) override {
        if (args.hasElements()) args[0] >>= frame_;
    }

    // XDispatchProvider
    Reference<frame::XDispatch> SAL_CALL queryDispatch(const util::URL& url, const OUString&, sal_Int32) override {
        if (url.Complete.startsWith(kProtocol)) return this;
        return nullptr;
    }
    Sequence<Reference<frame::XDispatch>> SAL_CALL
    queryDispatches(const Sequence<frame::DispatchDescriptor>& requests) override {
        Sequence<Reference<frame::XDispatch>> out(requests.getLength());
        for (sal_Int32 i = 0; i < requests.getLength(); ++i)
            out.getArray()[i] = queryDispatch(requests[i].FeatureURL, requests[i].FrameName, requests[i].SearchFlags);
        return out;
    }

    // XDispatch
    void SAL_CALL dispatch(const util::URL& url, const Sequence<beans::PropertyValue>& arguments) override {
        std::string command = S(url.Complete.copy(static_cast<sal_Int32>(sizeof(kProtocol) - 1)));
        Reference<frame::XModel> model;
        if (frame_.is() && frame_->getController().is()) model = frame_->getController()->getModel();
        auto ui = std::make_shared<CalcUi>(ctx_, frame_);
        if (!model.is()) {
            ui->MsgBox("Нет открытой книги", host::MsgButtons::OK, host::MsgIcon::Critical, "ЕСКД");
            return;
        }
        CalcApplication app(ctx_, model, ui);
        const std::string extension = ExtensionDir(), locale = UiLocale(ctx_);
        AttributeValues values;
        // What a command asks for first: a cancelled dialog changes nothing.
        if (command == "import") {
            auto path = PickFile(ctx_, false, "BOM (*.csv;*.xlsx;*.net;*.xml)", "*.csv;*.xlsx;*.net;*.xml", "");
            if (!path) return;
            command += ":" + *path;
        } else if (command == "pdf") {
            auto path = PickFile(ctx_, true, "PDF", "*.pdf", PdfDefaultName(app));
            if (!path) return;
            command += ":" + *path;
        } else if (command == "attributes") {
            for (const beans::PropertyValue& a : arguments) {
                // what the office's dispatching adds itself
                if (a.Name == "SynchronMode" || a.Name == "KeyModifier" || a.Name == "Referer") continue;
                OUString text;
                if (!(a.Value >>= text)) {
                    ui->MsgBox(cli::Say("{1}: \"{2}\" must be a text", {S(url.Complete), S(a.Name)}),
                               host::MsgButtons::OK, host::MsgIcon::Critical, "ЕСКД");
                    return;
                }
                values.emplace_back(S(a.Name), S(text));
            }
            if (values.empty()) {
                std::vector<AttributeRow> rows;
                const Outcome read = ReadAttributes(app, extension, locale, rows);
                if (!read.error.empty()) {
                    ui->MsgBox(read.error, host::MsgButtons::OK, host::MsgIcon::Critical, "ЕСКД");
                    return;
                }
                const std::string title = cli::Say("Document attributes: {1}", {app.Book().ActiveSheet()->Name()});
                std::optional<AttributeValues> edited;
                try {
                    edited = EditAttributes(ctx_, frame_, rows, title);
                } catch (const uno::Exception& e) {
                    ui->MsgBox(S(e.Message), host::MsgButtons::OK, host::MsgIcon::Critical, "ЕСКД");
                    return;
                }
                if (!edited || edited->empty()) return;
                values = std::move(*edited);
            }
        }
        Outcome outcome;
        using Clock = std::chrono::steady_clock;
        const auto t0 = Clock::now();
        Clock::time_point t1, t2;
        {
            Step step(model, frame_, StepTitle(command), !ReadsOnly(command));
            t1 = Clock::now();
            outcome = RunCommand(app, command, extension, locale, values);
            try {
                app.Flush();
            } catch (const uno::Exception& e) {
                outcome.error = S(e.Message);
            }
            step.Keep(outcome.changed && outcome.error.empty());
            // Calc's redo of the step fits its rows to their text, gives its
            // inserted columns other widths and leaves its manual breaks out: the
            // sheets' sizes and breaks as the command left them come back last.
            if (outcome.changed && outcome.error.empty()) try {
                    step.Add(LayoutForRedo(app.Book().Document(), app.Book().SheetsReached()));
                } catch (const uno::Exception&) {
                }
            t2 = Clock::now();
        }
        // With ORMELIN_CALC_TIMING set, where the command's time went (the timing script reads it).
        if (const char* timing = std::getenv("ORMELIN_CALC_TIMING"); timing && *timing) {
            const auto ms = [](Clock::time_point a, Clock::time_point b) {
                return std::chrono::duration<double, std::milli>(b - a).count();
            };
            std::ofstream(timing, std::ios::app) << command << "\tstart " << ms(t0, t1) << "\tcommand "
                                                 << ms(t1, t2) << "\tend " << ms(t2, Clock::now()) << '\n';
        }
        if (outcome.changed && outcome.error.empty()) {
            Reference<util::XModifiable> modifiable(model, UNO_QUERY);
            if (modifiable.is()) modifiable->setModified(true);
        }
        for (const std::string& note : outcome.notes)
            ui->MsgBox(note, host::MsgButtons::OK, outcome.noteIcon, "ЕСКД: " + StepTitle(command));
        if (!outcome.error.empty()) ui->MsgBox(outcome.error, host::MsgButtons::OK, host::MsgIcon::Critical, "ЕСКД");
    }
    void SAL_CALL addStatusListener(const Reference<frame::XStatusListener>&, const util::URL&) override {}
    void SAL_CALL removeStatusListener(const Reference<frame::XStatusListener>&, const util::URL&) override {}

    // XServiceInfo
    OUString SAL_CALL getImplementationName() override { return kImpl; }
    sal_Bool SAL_CALL supportsService(const OUString& n) override { return cppu::supportsService(this, n); }
    Sequence<OUString> SAL_CALL getSupportedServiceNames() override {
        OUString s(kService);
        return Sequence<OUString>(&s, 1);
    }

private:
    Reference<uno::XComponentContext> ctx_;
    Reference<frame::XFrame> frame_;
};

Reference<uno::XInterface> SAL_CALL Create(const Reference<uno::XComponentContext>& ctx) {
    return static_cast<cppu::OWeakObject*>(new Commands(ctx));
}
OUString SAL_CALL ImplName() { return kImpl; }
Sequence<OUString> SAL_CALL ServiceNames() {
    OUString s(kService);
    return Sequence<OUString>(&s, 1);
}

const cppu::ImplementationEntry kEntries[] = {
    {Create, ImplName, ServiceNames, cppu::createSingleComponentFactory, nullptr, 0},
    {nullptr, nullptr, nullptr, nullptr, nullptr, 0}};

}  // namespace

}  // namespace ormelin::calc

extern "C" SAL_DLLPUBLIC_EXPORT void* component_getFactory(const char* impl, void* serviceManager, void* registryKey) {
    return cppu::component_getFactoryHelper(impl, serviceManager, registryKey, ormelin::calc::kEntries);
}
