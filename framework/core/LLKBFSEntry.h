#pragma once
// Something in the file system named by a path: a file or a folder. The object is a name; the
// thing itself may or may not exist.
#include "framework/core/LLKBObject.h"

#include <string>

class LLKCFSFile;
class LLKCFSFolder;

class LLKBFSEntry : public LLKBObject {
public:
  // The path as it was given (or made from parent and name).
  const std::string& fullPath() const { return path_; }
  // The path made absolute and cleaned of "." and ".." parts.
  std::string absFullPath() const;
  // The last part of the path.
  std::string name() const;
  bool exists() const;
  // The folder that holds this entry; null at the root.
  Ref<LLKCFSFolder> parent() const;

  virtual LLKCFSFile* asFile() { return nullptr; }
  virtual LLKCFSFolder* asFolder() { return nullptr; }

protected:
  explicit LLKBFSEntry(std::string path) : path_(std::move(path)) {}

private:
  std::string path_;
};
