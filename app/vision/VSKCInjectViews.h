#pragma once
// Two small views that push input into a running solution by hand.
//
// "Inject image" lists the files of the resources' "images" folder (listed in the background,
// kept in name order); picking one, by click or with the up and down keys, asks the projector
// ("qav.proj") to load and publish it. "Inject key" publishes every character typed while it has
// the focus on "console.keypress".
//
// Window's thread only; the listing operation runs on the application's scheduler and only
// pokes messages to the view.
#include "framework/app/ZRVBView.h"
#include "framework/core/LLKCFSFile.h"
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELBListbox.h"
#include "ui/widgets/QELBOperation.h"

// The "Inject image" view's messages: a file listed, the listing done, a file picked.
inline constexpr LLKTMessageCode kVSKInjectImageFileListed{0xB000, 1};
inline constexpr LLKTMessageCode kVSKInjectImageListed{0xB000, 2};
inline constexpr LLKTMessageCode kVSKInjectImageFilePicked{0xB000, 3};

class VSKCInjectImageViewListOperation : public QELBOperation {
public:
  // Null for an empty path.
  [[nodiscard]] static Ref<VSKCInjectImageViewListOperation> operationWithFolder(std::string path);
  // Pokes onProgress with each file of the folder (none when it cannot be read), then onComplete.
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  explicit VSKCInjectImageViewListOperation(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

class VSKCInjectImageView : public ZRVBView {
public:
  [[nodiscard]] static Ref<VSKCInjectImageView> viewWithSize(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  QELBListbox* list() const { return list_.get(); }

protected:
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCInjectImageView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  void pick(LLKCFSFile* file);
  // Selects the entry step places from the first selected one, sends its file.
  void step(int step);

  Ref<QELCListbox> list_;
};

class VSKCInjectKeyView : public ZRVBView {
public:
  [[nodiscard]] static Ref<VSKCInjectKeyView> viewWithSize(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

protected:
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  bool onInputWithSymbol(const OGLTCharacterEvent& symbol) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCInjectKeyView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  Ref<QELBWidget> group_;
};

// The entries' order: by the names of their files.
int VSKFInjectImageViewFileComparator(QELBWidget* a, QELBWidget* b);
// The list's entry for the file: a board holding its base name, sending the pick message with
// the file when clicked; null when a part cannot be made.
[[nodiscard]] Ref<QELCBoard> VSKFInjectImageViewMakeLabel(QELBView* view, LLKCFSFile* file);
// Asks the projector to publish the file; false when the query could not be made or sent.
bool VSKFInjectImageViewSendSelectedFile(const LLKCFSFile& file);
