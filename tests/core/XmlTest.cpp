#include "framework/core/XMLCNode.h"

#include "tests/core/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(XmlNode, AttributesStoreReplaceAndFetchWithCodes) {
  Ref<XMLCNode> node = XMLCNode::nodeWithName("ogl:point");
  ASSERT_TRUE(node);
  EXPECT_EQ(node->storeReal(-5, "x"), 0);
  EXPECT_EQ(node->storeReal(0.1, "y"), 0);
  EXPECT_EQ(node->storeString("label", "key"), 0);
  EXPECT_EQ(node->storeReal(10, "x"), 0);
  EXPECT_EQ(node->attributeCount(), 3u);
  EXPECT_EQ(node->storeString("v", "bad key"), 22);

  double value = 99;
  EXPECT_EQ(node->fetchReal(value, "x"), 0);
  EXPECT_EQ(value, 10);
  EXPECT_EQ(node->fetchReal(value, "y"), 0);
  EXPECT_EQ(value, 0.1);  // exactly: reals are written in their shortest exact form
  EXPECT_EQ(node->fetchReal(value, "missing"), 2);
  EXPECT_EQ(node->fetchReal(value, "key"), 22);
  EXPECT_EQ(value, 0.1);
  int64_t whole = 0;
  EXPECT_EQ(node->fetchSint(whole, "y"), 22);
  bool flag = false;
  EXPECT_EQ(node->storeBool(true, "on"), 0);
  EXPECT_EQ(node->fetchBool(flag, "on"), 0);
  EXPECT_TRUE(flag);
}

TEST(XmlNode, NamesThatCannotBeXmlAreRefused) {
  for (const char* name : {"", "a b", "1st", "<x>", "a=b", "-a"}) EXPECT_FALSE(XMLCNode::nodeWithName(name)) << name;
  Ref<XMLCNode> node = XMLCNode::nodeWithName("ogl:size");
  EXPECT_EQ(node->setName("no good"), 22);
  EXPECT_EQ(node->name(), "ogl:size");
}

TEST(XmlNode, ChildrenAreFoundByKeyAndATreeCannotHoldItself) {
  Ref<XMLCNode> root = XMLCNode::nodeWithName("settings");
  Ref<XMLCNode> first = XMLCNode::nodeWithName("ogl:color");
  Ref<XMLCNode> second = XMLCNode::nodeWithName("ogl:color");
  first->storeString("fg", "key");
  second->storeString("bg", "key");
  ASSERT_EQ(root->append(first), 0);
  ASSERT_EQ(root->append(second), 0);
  EXPECT_EQ(root->findNodeForKey("bg").get(), second.get());
  EXPECT_FALSE(root->findNodeForKey("none"));
  EXPECT_EQ(root->findNodeWithName("ogl:color").get(), first.get());

  EXPECT_EQ(root->append(first), 22);  // already has a parent
  EXPECT_EQ(first->append(root), 22);  // its own ancestor
  EXPECT_EQ(root->append(root), 22);
  EXPECT_EQ(root->append(nullptr), 22);
  EXPECT_TRUE(root->remove(first.get()));
  EXPECT_EQ(first->parent(), nullptr);
  EXPECT_EQ(second->append(first), 0);  // free again once removed
}

TEST(XmlNode, DocumentsReadBackWhatWasWritten) {
  TemporaryFolder folder;
  Ref<XMLCNode> root = XMLCNode::nodeWithName("window");
  root->storeString("a \"quoted\" <value> & more", "title");
  Ref<XMLCNode> child = XMLCNode::nodeWithName("ogl:rect");
  child->storeReal(-1.25, "left");
  child->setText("note");
  root->append(child);
  std::string path = folder.file("window.xml");
  ASSERT_TRUE(root->writeToPath(path.c_str()));

  Ref<XMLCNode> back = XMLCNode::nodeFromPath(path.c_str());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->name(), "window");
  std::string title;
  EXPECT_EQ(back->fetchString(title, "title"), 0);
  EXPECT_EQ(title, "a \"quoted\" <value> & more");
  ASSERT_EQ(back->count(), 1u);
  double left = 0;
  EXPECT_EQ(back->fetchAtIndex(0)->fetchReal(left, "left"), 0);
  EXPECT_EQ(left, -1.25);
  EXPECT_EQ(back->fetchAtIndex(0)->text(), "note");
}

TEST(XmlNode, MalformedOrTooDeepDocumentsGiveNull) {
  for (const char* text : {"", "<a>", "<a></b>", "just text", "<a x='1' x='2'/>"})
    EXPECT_FALSE(XMLCNode::nodeFromString(text)) << text;
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<n>";
  for (int i = 0; i < 5000; ++i) deep += "</n>";
  EXPECT_FALSE(XMLCNode::nodeFromString(deep));
  EXPECT_FALSE(XMLCNode::nodeFromPath("/nonexistent/file.xml"));
  EXPECT_TRUE(XMLCNode::nodeFromString("<?xml version='1.0'?><!-- c --><a/>"));
}

}  // namespace
