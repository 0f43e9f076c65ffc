#include "platform/forms/form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/headless_runtime.h"
#include "platform/forms/picture_box.h"
#include "tests/support/form_services.h"

namespace platform {
namespace {

// A form that records its events and can be told to cancel its unload.
class RecordingForm : public Form {
  public:
    RecordingForm(Services& services, std::vector<std::string>& log)
        : Form(services, "frmTest"), m_log(log) {
        AddControl(Picture1);
    }
    void Form_Load() override { m_log.push_back("Load"); }
    void Form_QueryUnload(int& Cancel, int UnloadMode) override {
        m_log.push_back("QueryUnload " + std::to_string(UnloadMode));
        Cancel = cancelQuery;
    }
    void Form_Unload(int& Cancel) override {
        m_log.push_back("Unload");
        Cancel = cancelUnload;
    }
    PictureBox Picture1{services().gdi, "Picture1"};
    int cancelQuery = 0;
    int cancelUnload = 0;

  private:
    std::vector<std::string>& m_log;
};

// Its file dialogs are never answered: each one is cancelled.
class FormTest : public ::testing::Test, protected test_support::FormServices<HeadlessRuntime> {
  protected:
    std::vector<std::string> log;
};

TEST_F(FormTest, ShowLoadsOnceAndShowsTheWindow) {
    RecordingForm form(services, log);
    EXPECT_FALSE(form.IsLoaded());
    form.Show();
    form.Show();
    EXPECT_EQ(log, (std::vector<std::string>{"Load"}));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(runtime.IsShown(form));
    ASSERT_EQ(form.Controls().size(), 1u);
    EXPECT_EQ(form.Controls()[0]->Name(), "Picture1");
}

TEST_F(FormTest, CloseButtonRunsQueryUnloadThenUnloadAndTheProgramEnds) {
    RecordingForm form(services, log);
    form.Show();
    EXPECT_TRUE(runtime.PressCloseButton(form));
    EXPECT_EQ(log, (std::vector<std::string>{"Load", "QueryUnload 0", "Unload"}));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(runtime.Finished());
}

TEST_F(FormTest, EitherHandlerCanCancelTheClose) {
    RecordingForm form(services, log);
    form.Show();
    form.cancelQuery = 1;
    EXPECT_FALSE(runtime.PressCloseButton(form));
    form.cancelQuery = 0;
    form.cancelUnload = 1;
    EXPECT_FALSE(runtime.PressCloseButton(form));
    EXPECT_EQ(log, (std::vector<std::string>{"Load", "QueryUnload 0", "QueryUnload 0", "Unload"}));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(runtime.IsShown(form));
    EXPECT_FALSE(runtime.Finished());
}

TEST_F(FormTest, UnloadInCodeReportsItsModeAndAnotherShowLoadsAfresh) {
    RecordingForm form(services, log);
    form.Show();
    form.Unload();
    form.Show();
    EXPECT_EQ(log, (std::vector<std::string>{"Load", "QueryUnload 1", "Unload", "Load"}));
    EXPECT_TRUE(runtime.IsShown(form));
}

TEST_F(FormTest, EndRunsNoFormEvents) {
    RecordingForm form(services, log);
    form.Show();
    runtime.End();
    EXPECT_FALSE(runtime.PressCloseButton(form));
    form.Unload();
    form.Show();
    EXPECT_EQ(log, (std::vector<std::string>{"Load"}));
    EXPECT_TRUE(runtime.Finished());
}

TEST_F(FormTest, TheFormsContextsAndBitmapsGoWithIt) {
    const LiveObjects before = gdi.CountLiveObjects();
    {
        RecordingForm form(services, log);
        form.Show();
        // The window context, and the pane's context and surface.
        EXPECT_EQ(gdi.CountLiveObjects(),
                  (LiveObjects{before.contexts + 2, before.bitmaps + 1, 0}));
        EXPECT_EQ(gdi.GetBkColor(form.hDC()), ResolveColour(SystemColour(COLOR_BTNFACE)));
    }
    EXPECT_EQ(gdi.CountLiveObjects(), before);
    EXPECT_TRUE(runtime.ShownForms().empty()) << "a destroyed form leaves no window behind";
}

TEST_F(FormTest, DisablingTheFormTellsItsView) {
    RecordingForm form(services, log);
    int changes = 0;
    form.SetObserver([&] { ++changes; });
    form.SetEnabled(false);
    EXPECT_FALSE(form.Enabled());
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace platform
