// Start-up's rule, for every front end: the program's five windows, each
// created once and hidden, in this order: the main window (FormMainPDV),
// FormFP, the notice window (FormYellowMsg), the catalog (FormKVMsgDlg) and
// the tax group editor (FormPorezi). Each is published in its global as soon
// as it exists; they live until this object goes, which destroys them in the
// opposite order (the port closes with the main window).
//
// The checked layer's notices go to the notice window (catalog notices by
// their text), and its terminate request to the front end's application.
// A front end instantiates this with its three window classes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "device/P00_FP.h"
#include "messages/P00_KVMsgDlg.h"

template <class MainForm, class NoticeForm, class EditorForm>
class ProgramWindows : private DeviceUserInterface {
 public:
  // The front end's globals of its three windows.
  struct Globals {
    MainForm*& mainForm;
    NoticeForm*& noticeForm;
    EditorForm*& editorForm;
  };
  // `mainFormIs` tells the application its main form as soon as it exists,
  // and nullptr before it goes; `terminate` asks the application to end.
  ProgramWindows(Globals globals, std::function<void(MainForm*)> mainFormIs,
                 std::function<void()> terminate)
      : globals_(globals), mainFormIs_(std::move(mainFormIs)), terminate_(std::move(terminate)) {
    main_ = std::make_unique<MainForm>();
    globals_.mainForm = main_.get();
    mainFormIs_(main_.get());
    fp_ = std::make_unique<TFormFP>(static_cast<DeviceUserInterface&>(*this));
    FormFP = fp_.get();
    notice_ = std::make_unique<NoticeForm>();
    globals_.noticeForm = notice_.get();
    catalog_ = std::make_unique<TFormKVMsgDlg>();
    FormKVMsgDlg = catalog_.get();
    editor_ = std::make_unique<EditorForm>();
    globals_.editorForm = editor_.get();
  }

  ~ProgramWindows() override {
    globals_.editorForm = nullptr;
    editor_.reset();
    FormKVMsgDlg = nullptr;
    catalog_.reset();
    globals_.noticeForm = nullptr;
    notice_.reset();
    FormFP = nullptr;
    fp_.reset();
    mainFormIs_(nullptr);
    globals_.mainForm = nullptr;
    main_.reset();
  }

  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

 private:
  void ShowNotice(const std::string& deviceText) override { notice_->ShowText(deviceText); }
  void ShowCatalogNotice(std::int32_t index) override { ShowNotice(catalog_->CatalogText(index)); }
  void RequestTerminate() override { terminate_(); }

  Globals globals_;
  std::function<void(MainForm*)> mainFormIs_;
  std::function<void()> terminate_;
  std::unique_ptr<MainForm> main_;
  std::unique_ptr<TFormFP> fp_;
  std::unique_ptr<NoticeForm> notice_;
  std::unique_ptr<TFormKVMsgDlg> catalog_;
  std::unique_ptr<EditorForm> editor_;
};
