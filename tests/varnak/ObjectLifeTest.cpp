// Telling a kept pointer from a live object: while destroyed objects are watched, an address stays
// destroyed until an object is made there again, whatever the shape of the class (a derived class,
// a class behind a base of its own, a plain record, a copy); and a destroyed document or handler
// is let go by every context and handler that held it.
#include "varnak/include/tObjectLife.h"

#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcIO.h"
#include "varnak/include/tcNode.h"
#include "varnak/include/tcSort.h"
#include "varnak/include/tcStyles.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>

namespace
{
struct Watching
{
    Watching() { tWatchDestroyed(true); }
    ~Watching() { tWatchDestroyed(false); }
};

// Makes an object of T in the same storage twice, destroying the first.
struct Shape
{
    std::string name;
    std::function<void*(void*)> make;
    std::function<void(void*)> destroy;
};

template <typename T> Shape ShapeOf(const std::string& name, std::function<T*(void*)> make)
{
    return {name, [make](void* p) { return static_cast<void*>(make(p)); }, [](void* p) { static_cast<T*>(p)->~T(); }};
}

const tcStrCmp g_original;
} // namespace

TEST(ObjectLife, AnAddressStaysDestroyedUntilAnObjectIsMadeThere)
{
    const Shape aShapes[] = {
        ShapeOf<tcNode>("a node", [](void* p) { return ::new (p) tcNode(); }),
        ShapeOf<tcText>("a derived node", [](void* p) { return ::new (p) tcText("x"); }),
        ShapeOf<tcDocument>("a document, behind a base of its own", [](void* p) { return ::new (p) tcDocument(); }),
        ShapeOf<tcAppContext>("a context, behind a polymorphic base", [](void* p) { return ::new (p) tcAppContext(); }),
        ShapeOf<tcOrderElement>("an order item", [](void* p) { return ::new (p) tcOrderElement(nullptr); }),
        ShapeOf<tcAutoNumber>("a plain record",
                              [](void* p) {
                                  return ::new (p) tcAutoNumber{{}, 1, true, false, false};
                              }),
        ShapeOf<tcStrCmp>("a copy", [](void* p) { return ::new (p) tcStrCmp(g_original); }),
    };
    Watching watching;
    for (const Shape& shape : aShapes)
    {
        SCOPED_TRACE(shape.name);
        alignas(std::max_align_t) unsigned char storage[1024];
        void* p = shape.make(storage);
        ASSERT_EQ(p, static_cast<void*>(storage));
        EXPECT_FALSE(tIsDestroyed(p)) << "alive";
        shape.destroy(p);
        EXPECT_TRUE(tIsDestroyed(p)) << "destroyed";
        shape.make(storage);
        EXPECT_FALSE(tIsDestroyed(p)) << "made again";
        shape.destroy(p);
    }
}

TEST(ObjectLife, OnlyTheWatchingThreadsDestructionsAreKept)
{
    auto pNode = std::make_unique<tcNode>();
    const void* p = pNode.get();
    {
        pNode.reset();
        Watching watching;
        EXPECT_FALSE(tIsDestroyed(p)) << "destroyed before the watch";
    }
    Watching watching;
    const void* pOther = nullptr;
    std::thread(
        [&]
        {
            auto pNodeThere = std::make_unique<tcNode>();
            pOther = pNodeThere.get();
        })
        .join();
    EXPECT_FALSE(tIsDestroyed(pOther)) << "destroyed on another thread";
    auto pMine = std::make_unique<tcNode>();
    const void* pMineAddress = pMine.get();
    pMine.reset();
    EXPECT_TRUE(tIsDestroyed(pMineAddress));
}

TEST(ObjectLife, ADestroyedDocumentOrHandlerIsLetGoByWhoeverHeldIt)
{
    tcAppContext context;
    tcIO io;
    auto pDoc = std::make_unique<tcDocument>();
    auto pOtherDoc = std::make_unique<tcDocument>();
    tcIO otherIO;
    otherIO.AttachDoc(pOtherDoc.get());
    context.AppSetDoc(pDoc.get());
    io.AttachDoc(pDoc.get());
    pDoc.reset();
    EXPECT_EQ(context.GetDoc(), nullptr);
    EXPECT_EQ(io.GetDoc(), nullptr);
    EXPECT_EQ(otherIO.GetDoc(), pOtherDoc.get()) << "a handler of another document keeps it";

    auto pIO = std::make_unique<tcIO>();
    context.AppSetIO(pIO.get());
    pIO.reset();
    EXPECT_EQ(context.GetCurrentIO(), nullptr);
}
