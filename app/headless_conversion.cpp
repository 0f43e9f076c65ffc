#include "app/headless_conversion.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>

#include "app/dialog_path.h"
#include "app/file_identity.h"
#include "app/output_folder.h"
#include "icon_set/icon_set_file.h"
#include "main_window/frm_main.h"
#include "main_window/size_menu.h"
#include "platform/forms/headless_runtime.h"

namespace zentrova {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "zentrova-convert: ";

// The user at the dialogs: Open chooses the input, Save answers as the command says, and
// the files the save may go to are noted as they were before it.
class AnsweringFileDialogs : public platform::FileDialogService {
  public:
    AnsweringFileDialogs(std::string input, const ConvertCommand& command)
        : m_input(std::move(input)), m_command(command) {}

    std::optional<std::string> Show(const platform::FileDialogRequest& request) override {
        if (request.mode == platform::FileDialogMode::Open) return m_input;
        std::string answer = SaveAnswer(request.fileName);
        // The window saves under the answer itself or with its extension added.
        for (const std::string& name : {answer, answer + ".ICO", answer + ".BMP"}) {
            m_before[name] = FileIdentity::Of(name);
        }
        return answer;
    }

    // True when path is a file now that was not there, or was another file, at the save.
    bool IsNew(const std::string& path) const {
        const std::optional<FileIdentity> now = FileIdentity::Of(path);
        if (!now) return false;
        auto before = m_before.find(path);
        return before == m_before.end() || before->second != now;
    }

  private:
    std::string SaveAnswer(const std::string& offered) const {
        if (!m_command.output.empty()) return DialogPath(m_command.output);
        if (!m_command.directory.empty()) {
            return DialogPath(
                (fs::path(m_command.directory) / fs::path(offered).filename()).string());
        }
        // Enter in the dialog: the name it offers.
        return offered;
    }

    std::string m_input;
    const ConvertCommand& m_command;
    std::map<std::string, std::optional<FileIdentity>> m_before;
};

// A message box is a line on standard error; the prompt names the file.
class ErrorLineMessageBoxes : public platform::MessageBoxService {
  public:
    ErrorLineMessageBoxes(std::ostream& err, platform::FormRuntime& runtime)
        : m_err(err), m_runtime(runtime) {}
    int Show(const std::string& prompt, int /*style*/, const std::string& /*title*/) override {
        // The window's message, then why, where the error that led to it says.
        m_err << kProgram << prompt;
        const std::string detail = m_runtime.TakeErrorDetail();
        if (!detail.empty()) m_err << " (" << detail << ")";
        m_err << std::endl;
        ++m_shown;
        return platform::vbOK;
    }
    int Shown() const { return m_shown; }

  private:
    std::ostream& m_err;
    platform::FormRuntime& m_runtime;
    int m_shown = 0;
};

// Clicks the Size menu entry of panes `size` pixels a side.
bool ClickSize(frmMain& form, int size) {
    const std::optional<int> index = SizeMenuIndex(size);
    if (!index) return false;
    form.mnuSize.Click(*index);
    return true;
}

std::optional<std::string> RunWindow(const std::string& input, const ConvertCommand& command,
                                     std::ostream& err) {
    platform::Gdi gdi;
    AnsweringFileDialogs dialogs(DialogPath(input), command);
    platform::HeadlessRuntime runtime;
    ErrorLineMessageBoxes messageBoxes(err, runtime);
    platform::Registry registry;  // nothing here reads the registry or starts a program
    platform::ProcessShell shell;
    platform::Services services{gdi, dialogs, messageBoxes, runtime, registry, shell};

    frmMain form(services);
    form.Show();
    if (command.size && !ClickSize(form, *command.size)) {
        err << kProgram << "the Size menu has no " << *command.size << " entry" << std::endl;
        return std::nullopt;
    }
    form.mnuOpen.Click();

    std::optional<std::string> written;
    if (messageBoxes.Shown() == 0 && !form.SavePath.empty() && dialogs.IsNew(form.SavePath)) {
        written = form.SavePath;
    } else if (messageBoxes.Shown() == 0) {
        err << kProgram << input << ": nothing was written" << std::endl;
    }
    form.Unload();
    return written;
}

}  // namespace

std::optional<std::string> ConvertFile(const std::string& input, const ConvertCommand& command,
                                       std::ostream& err) {
    try {
        if (command.iconSet) {
            const bool cursor = command.iconSet->cursor;
            const std::string target =
                IconSetTarget(input, command.output, command.directory, cursor);
            return SaveIconSet(input, target, *command.iconSet, err);
        }
        return RunWindow(input, command, err);
    } catch (const std::exception& error) {
        // One input's failure never stops the others.
        err << kProgram << input << ": " << error.what() << std::endl;
        return std::nullopt;
    }
}

int ConvertAll(const ConvertCommand& command, std::ostream& out, std::ostream& err) {
    if (!command.directory.empty() && !MakeOutputFolder(command.directory, "converted", err))
        return 1;
    bool allWritten = true;
    bool printed = true;
    std::set<std::string> writtenFiles;
    for (const std::string& input : command.inputs) {
        const std::optional<std::string> written = ConvertFile(input, command, err);
        if (!written) {
            allWritten = false;
            continue;
        }
        if (!writtenFiles.insert(SameFileKey(*written)).second) {
            err << kProgram << "warning: " << *written << " was written again, from " << input
                << "; the last one wins" << std::endl;
        }
        if (!printed) continue;
        // A newline may be part of a name; NUL never is.
        errno = 0;
        out << *written << (command.nullEnded ? '\0' : '\n') << std::flush;
        if (!out) {
            // A caller that lost the names cannot tell what was written: that is a failure,
            // told once, and the other inputs are still converted.
            const int reason = errno;
            printed = false;
            err << kProgram << "the paths written could not be printed";
            if (reason != 0) err << " (" << std::strerror(reason) << ")";
            err << std::endl;
        }
    }
    return allWritten && printed ? 0 : 1;
}

}  // namespace zentrova
