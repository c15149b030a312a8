#pragma once
// What every actor class shares: it owns the actor record, hands each substrate hook to the
// runtime function of the same role, and passes a message on to its processor base when the
// runtime did not take it. Base is the substrate processor class the actor is built on.
#include <string>

#include "framework/substrate/MRKCClassRegistry.h"
#include "framework/substrate/MRKCKnowledge.h"
#include "framework/substrate/MRKCManifesto.h"
#include "modules/ctm/actors/CTMFActor.h"

template <typename Base>
class CTMTActorShell : public Base {
public:
  // The runtime record; null when it could not be made (the factories then give no object).
  CTMTActor* actor() const { return actor_; }
  bool isUsable() const override { return actor_ && Base::isUsable(); }

  bool onSavingKnowledge(MRKCKnowledge* container) override {
    if (!CTMFActorSaveKnowledge(actor_)) return false;
    // The processor bases save nothing of their own: the actor keeps its manifesto, whose
    // properties now hold the links and the accumulated weight modifier.
    Ref<MRKCManifesto> manifesto = MRKCManifesto::manifestoWithLabel(this->label(), this->properties());
    if (!container || !manifesto || container->store(manifesto.get()) != 0) return false;
    return Base::onSavingKnowledge(container);
  }
  void onAttached() override {
    Base::onAttached();
    CTMFActorAttached(actor_);
  }
  void onDetached() override {
    CTMFActorDetached(actor_);
    Base::onDetached();
  }
  void onPulsated() override {
    CTMFActorPulsated(actor_);
    Base::onPulsated();
  }
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override {
    if (CTMFActorReceivedQuery(actor_, query)) Base::onReceivedQuery(query, source);
  }
  void onReceivedReply(MRKCReply* reply, const std::string& source) override {
    if (CTMFActorReceivedReply(actor_, reply)) Base::onReceivedReply(reply, source);
  }
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    if (CTMFActorReceivedSquib(actor_, squib)) Base::onReceivedSquib(squib, source);
  }
  void onReceivedScrap(MRKCScrap* scrap, const std::string& source) override {
    if (CTMFActorReceivedScrap(actor_, scrap)) Base::onReceivedScrap(scrap, source);
  }
  void onReceivedFlash(MRKCFlash* flash, const std::string& source) override {
    if (CTMFActorReceivedFlash(actor_, flash)) Base::onReceivedFlash(flash, source);
  }

protected:
  CTMTActorShell(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties,
                 const CTMTActorCallbacks* callbacks)
      : Base(std::move(guid), std::move(label), std::move(alias), std::move(properties)),
        actor_(CTMFActorInit(this, callbacks)) {}
  CTMTActorShell(const MRKCManifesto& manifesto, const CTMTActorCallbacks* callbacks)
      : Base(manifesto), actor_(CTMFActorInit(this, callbacks)) {}
  ~CTMTActorShell() override { CTMFActorExit(actor_); }

private:
  CTMTActor* actor_;
};

// A new actor of class T made with the substrate's arguments, or null when its record could
// not be made.
template <typename T>
Ref<MRKBProcessor> CTMFActorMake(const std::string& guid, const std::string& label, const std::string& alias,
                                 Ref<MRKCFrame> properties) {
  Ref<T> made = adoptRef(new T(guid, label, alias, std::move(properties)));
  return made->actor() ? Ref<MRKBProcessor>(made) : nullptr;
}

// Registers an actor class under its name while the plug-in is loaded:
//   static CTMTActorRegistrar<CTMCBFSActor> registrar("CTMCBFSActor");
template <typename T>
class CTMTActorRegistrar {
public:
  explicit CTMTActorRegistrar(std::string name) : name_(std::move(name)) {
    registered_ = MRKCClassRegistry::shared().registerClass(name_, CTMFActorMake<T>);
  }
  ~CTMTActorRegistrar() {
    if (registered_) MRKCClassRegistry::shared().unregisterClass(name_);
  }
  CTMTActorRegistrar(const CTMTActorRegistrar&) = delete;
  CTMTActorRegistrar& operator=(const CTMTActorRegistrar&) = delete;

private:
  std::string name_;
  bool registered_ = false;
};
