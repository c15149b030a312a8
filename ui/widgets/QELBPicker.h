#pragma once
// What the file and folder pickers share: the current folder shown in the path box, the folder
// list with its ".." row, the background worker that lists the folder, the restart of a listing
// after every change, the "Select"/"Cancel" ending and the dialog that tells the user a folder
// could not be opened, read or made.
//
// Listings: each one has a generation; the worker's batches carry it and the batches of an
// abandoned listing are dropped, so the lists show exactly the current folder. The worker is
// made when the picker is attached to a window and stopped and joined (after its link to the
// picker is cut) when it is detached or freed. Window thread only.
#include <string>

#include "framework/core/LLKCFSFolder.h"
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBListbox.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELCWidgets.h"
#include "ui/widgets/QELBPickerWorker.h"
#include "ui/widgets/QELCPickerEntry.h"

class QELCBoard;

enum : uint32_t {
  kQELPickerUidPath = 3,    // the path box committed a typed path ("value")
  kQELPickerUidButton = 4,  // a footer button, by tag
  kQELPickerTagSelect = 1,
  kQELPickerTagCancel = 2,
  kQELPickerTagCreate = 3,
};

class QELBPicker : public QELBGroup {
public:
  ~QELBPicker() override;

  // The current folder's absolute path; "" when there is none. Never cut to the path box.
  std::string path() const;
  // Makes the (relative or absolute) path the current folder; nothing happens when it is not a
  // folder. The listing starts at the next attach or restart.
  void setPath(const std::string& path);
  LLKCFSFolder* folder() const { return folder_.get(); }
  const Ref<LLKCMessage>& onSelect() const { return onSelect_; }
  void setOnSelect(Ref<LLKCMessage> message) { onSelect_ = std::move(message); }
  const Ref<LLKCMessage>& onCancel() const { return onCancel_; }
  void setOnCancel(Ref<LLKCMessage> message) { onCancel_ = std::move(message); }
  const Ref<QELBWidget>& target() const { return target_; }
  void setTarget(Ref<QELBWidget> target) { target_ = std::move(target); }

  QELBTextbox* pathBox() const { return pathBox_.get(); }
  QELBListbox* folderList() const { return folderList_.get(); }
  QELBButton* selectButton() const { return selectButton_.get(); }
  QELBButton* cancelButton() const { return cancelButton_.get(); }
  // A listing was posted and its last batch has not come yet.
  bool listing() const { return listing_; }

  // The lists' height when the picker next sizes itself with the window: kListHeight unless
  // whoever holds the picker needs it shorter to fit the window.
  static constexpr float kListHeight = 400;
  float listHeight() const { return listHeight_; }
  void setListHeight(float height) { listHeight_ = height; }

  // Sizes itself with the window and starts a worker.
  void onAttachedIntoWindow() override;
  void onDetachedFromWindow() override;
  void onAwaken() override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

protected:
  QELBPicker(OGLTSize size, OGLTPoint position, const QELTGroupSetup* setup);

  // Makes the shared parts; false when one cannot be made.
  bool buildParts(QELTWidgetComparator folderOrder);
  Ref<QELCTextbox> pathBox_;
  Ref<QELCListbox> folderList_;
  Ref<QELCButton> selectButton_, cancelButton_;

  // The subclasses' parts.
  virtual Ref<QELBPickerWorker> makeWorker(Ref<QELCPickerLink> link) = 0;
  virtual Ref<QELCBoard> makeFolderRow(const QELCPickerEntry* entry) = 0;
  // A batch of the current listing (the ".." row is already there).
  virtual void onBatch(const LLKCMessage& batch);
  // A listing is about to start again (a new folder or filter): drop what the lists showed.
  virtual void onRestart() {}
  // The footer's other buttons (tag 1 "Select", 2 "Cancel", 3 "Create new folder").
  virtual void onButton(uint32_t tag) = 0;

  // Empties the lists and posts a new listing of the current folder.
  void restart();
  // Makes the folder current and lists it.
  void openFolder(Ref<LLKCFSFolder> folder);
  // Attaches a folder row for each folder entry of the batch.
  void attachFolderRows(const LLKCObjectList& entries);
  // The common ending of "Select" and "Cancel": a copy of the template with "sender" and the
  // details the caller adds goes to the target (then an empty message up, which closes an
  // enclosing dialog) or up the tree; without a template only the empty message goes up.
  void finish(const Ref<LLKCMessage>& choice);
  // Tells the user in a dialog above everything ("So, hmmm ...").
  void showProblem(const char* text);

  // Shows the path in the path box (it may hold fewer bytes than the path).
  void showPath(const std::string& path);

private:
  void startListing();
  void stopWorker();
  void onListed(const LLKCMessage& batch);
  void onPathTyped(const LLKCMessage& message);

  Ref<QELBPickerWorker> worker_;
  Ref<QELCPickerLink> link_;
  Ref<LLKCMessage> onSelect_, onCancel_;
  Ref<LLKCFSFolder> folder_;
  Ref<QELBWidget> target_;
  uint32_t generation_ = 0;
  float listHeight_ = kListHeight;
  bool started_ = false;
  bool listing_ = false;
};
