// Loading and unloading libtessel.so registers and removes its run-time classes. This test does not
// link Tessel: it opens the built library itself, so that closing it really unloads it.

#include <platform/RuntimeClass.h>

#include <dlfcn.h>

#include <gtest/gtest.h>

using platform::RuntimeClassRegistry;

TEST(TesselLibrary, RegistersWhileLoaded)
{
    ASSERT_EQ(RuntimeClassRegistry::Find(QStringLiteral("CMyDialog")), nullptr);
    for (int round = 0; round < 2; ++round) {
        void* lib = dlopen(TESSEL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        const platform::CRuntimeClass* c = RuntimeClassRegistry::Find(QStringLiteral("CMyDialog"));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->m_wSchema, 0xFFFFu);
        EXPECT_EQ(dlsym(lib, "_ZN9CMyDialog14classCMyDialogE"), static_cast<const void*>(c))
            << "the record is the library's exported one";
        platform::CObject* obj = RuntimeClassRegistry::CreateObject(QStringLiteral("CMyDialog"));
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->GetRuntimeClass(), c);
        delete obj;

        ASSERT_EQ(dlclose(lib), 0);
        EXPECT_EQ(dlopen(TESSEL_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library stayed loaded";
        EXPECT_EQ(RuntimeClassRegistry::Find(QStringLiteral("CMyDialog")), nullptr);
        EXPECT_EQ(RuntimeClassRegistry::CreateObject(QStringLiteral("CMyDialog")), nullptr);
    }
}
