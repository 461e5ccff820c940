#include "examples/sample_component/SampleInterfaces.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchClient.h"
#include "platform/com/DispatchImpl.h"
#include "platform/com/Object.h"
#include "tests/platform/ComTestSupport.h"

#include <iterator>

namespace {

class Automation : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        RegisterSample();
        ASSERT_EQ(lumo::CreateInstance(u"Vexo.SampleCounter", IDispatch::iid, counter.PutVoid()), S_OK);
        ASSERT_EQ(counter.As(&text), S_OK);
    }

    // Invoke with the arguments exactly as given (last first).
    HRESULT RawInvoke(IDispatch* target, DISPID id, WORD flags, std::vector<VARIANT> reversed, VARIANT* result,
                      std::vector<DISPID> named = {}, UINT* argError = nullptr, EXCEPINFO* info = nullptr)
    {
        DISPPARAMS params{reversed.data(), named.empty() ? nullptr : named.data(), UINT(reversed.size()),
                          UINT(named.size())};
        return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, info, argError);
    }

    LONG Total()
    {
        CVariant v;
        EXPECT_EQ(lumo::GetProperty(counter.Get(), u"Total", &v), S_OK);
        return v.lVal;
    }

    ComPtr<IDispatch> counter;
    ComPtr<ISampleText> text;
};

TEST_F(Automation, CallsMembersByNameWithConvertedArguments)
{
    CVariant result;
    // Text for a 16-bit step, a double for an unsigned limit.
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Configure", {u"5", true, 12.0}), S_OK);
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Add", {u"4"}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 4);
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Increment", {}, &result), S_OK);
    EXPECT_EQ(result.lVal, 9);
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Increment", {}, &result), S_OK);
    EXPECT_EQ(result.lVal, 0) << "14 is above the limit 12 and wraps";
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Average", {u"1.5", SHORT(2)}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_R8);
    EXPECT_DOUBLE_EQ(result.dblVal, 1.75);
}

TEST_F(Automation, FindsNamesIgnoringCaseButNotParameterNames)
{
    DISPID id = 0;
    EXPECT_EQ(lumo::GetDispId(counter.Get(), u"aDD", &id), S_OK);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(lumo::GetDispId(counter.Get(), u"TOTAL", &id), S_OK);
    EXPECT_EQ(id, 3);
    std::u16string member = u"Add", parameter = u"amount";
    LPOLESTR names[] = {member.data(), parameter.data()};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(counter->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(Automation, UnknownNamesAndMembersAreReported)
{
    DISPID id = 0;
    EXPECT_EQ(lumo::GetDispId(counter.Get(), u"Launch", &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(lumo::CallMethod(counter.Get(), u"Launch"), DISP_E_UNKNOWNNAME);
    CVariant result;
    EXPECT_EQ(RawInvoke(counter.Get(), 99, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
    // Add is a method, not a property one can set.
    CVariant value(LONG(1));
    EXPECT_EQ(RawInvoke(counter.Get(), 1, DISPATCH_PROPERTYPUT, {value}, nullptr, {DISPID_PROPERTYPUT}),
              DISP_E_MEMBERNOTFOUND);
    std::u16string name = u"Add";
    LPOLESTR names[] = {name.data()};
    const IID other = ISampleText::iid;
    EXPECT_EQ(counter->GetIDsOfNames(other, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(counter->Invoke(1, other, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(Automation, ArgumentsArriveLastFirst)
{
    CVariant first(u"left"), second(u"right"), result;
    ASSERT_EQ(RawInvoke(text.Get(), 1, DISPATCH_METHOD, {second, first}, &result), S_OK);
    EXPECT_EQ(result.ToWide(), L"left right");
}

TEST_F(Automation, PropertiesGetAndPutWithTheNamedValue)
{
    CVariant value(u"17"), result;
    ASSERT_EQ(RawInvoke(counter.Get(), 3, DISPATCH_PROPERTYPUT, {value}, nullptr, {DISPID_PROPERTYPUT}), S_OK);
    EXPECT_EQ(Total(), 17);
    // Script hosts ask for a method or a property at once.
    ASSERT_EQ(RawInvoke(counter.Get(), 3, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.lVal, 17);
    // Positional value, as simple clients send it.
    CVariant next(LONG(18));
    ASSERT_EQ(RawInvoke(counter.Get(), 3, DISPATCH_PROPERTYPUT, {next}, nullptr), S_OK);
    EXPECT_EQ(Total(), 18);
    EXPECT_EQ(lumo::PutProperty(text.Get(), u"Separator", CVariant(u"+")), S_OK);
    ASSERT_EQ(lumo::CallMethod(text.Get(), u"Concat", {u"a", u"b"}, &result), S_OK);
    EXPECT_EQ(result.ToWide(), L"a+b");
}

TEST_F(Automation, OtherNamedArgumentsAreRefused)
{
    CVariant value(LONG(5));
    EXPECT_EQ(RawInvoke(counter.Get(), 3, DISPATCH_PROPERTYPUT, {value}, nullptr, {7}), DISP_E_NONAMEDARGS);
    CVariant total;
    EXPECT_EQ(RawInvoke(counter.Get(), 1, DISPATCH_METHOD, {value}, &total, {0}), DISP_E_NONAMEDARGS);
    EXPECT_EQ(Total(), 0);
}

TEST_F(Automation, WrongArgumentCountIsRefusedBeforeTheCall)
{
    CVariant result;
    EXPECT_EQ(lumo::CallMethod(counter.Get(), u"Add", {}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(lumo::CallMethod(counter.Get(), u"Add", {LONG(1), LONG(2)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Total(), 0);
    // A count without its arguments is malformed.
    DISPPARAMS broken{nullptr, nullptr, 1, 0};
    EXPECT_EQ(counter->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &broken, nullptr, nullptr, nullptr), E_INVALIDARG);
}

TEST_F(Automation, WrongArgumentTypeNamesTheArgument)
{
    lumo::DispatchError error;
    EXPECT_EQ(lumo::CallMethod(counter.Get(), u"Configure", {SHORT(1), u"maybe", LONG(3)}, nullptr, &error),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(error.argument, 1u);
    EXPECT_EQ(lumo::CallMethod(counter.Get(), u"Configure", {LONG(70000), true, LONG(3)}, nullptr, &error),
              DISP_E_OVERFLOW);
    EXPECT_EQ(error.argument, 0u);
    // On the wire the position counts from the end.
    CVariant word(u"many"), result;
    UINT argError = 99;
    EXPECT_EQ(RawInvoke(counter.Get(), 1, DISPATCH_METHOD, {word}, &result, {}, &argError), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u);
    EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST_F(Automation, ExceptionsBecomeDispExceptionAndFailuresPassThrough)
{
    CVariant result;
    lumo::DispatchError error;
    EXPECT_EQ(lumo::CallMethod(text.Get(), u"Repeat", {u"x", SHORT(-1)}, &result, &error), DISP_E_EXCEPTION);
    EXPECT_EQ(error.exceptionCode, E_FAIL);
    EXPECT_EQ(error.description, L"Repeat: the count is negative");
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXCEPINFO info{};
    CVariant count(SHORT(-1)), word(u"x");
    EXPECT_EQ(RawInvoke(text.Get(), 2, DISPATCH_METHOD, {count, word}, &result, {}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(CBstr::Adopt(info.bstrSource).ToWide(), L"Repeat");
    SysFreeString(info.bstrDescription);
    EXPECT_EQ(lumo::CallMethod(text.Get(), u"Repeat", {u"x", SHORT(1001)}, &result, &error), E_INVALIDARG);
    EXPECT_EQ(lumo::CallMethod(text.Get(), u"Repeat", {u"ab", SHORT(3)}, &result), S_OK);
    EXPECT_EQ(result.ToWide(), L"ababab");
}

TEST_F(Automation, ResultsMayBeIgnoredAndVariantsPassUnconverted)
{
    CVariant a(u"a"), b(u"b");
    EXPECT_EQ(RawInvoke(text.Get(), 1, DISPATCH_METHOD, {b, a}, nullptr), S_OK); // the result string is freed
    CVariant result;
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Describe", {LONG(42)}, &result), S_OK);
    EXPECT_EQ(result.ToWide(), L"i4:42");
    LONG referred = 7;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &referred;
    result.Clear(); // an out-parameter: Invoke overwrites, it does not free
    ASSERT_EQ(RawInvoke(counter.Get(), 9, DISPATCH_METHOD, {ref}, &result), S_OK);
    EXPECT_EQ(result.ToWide(), L"i4:7");
}

TEST_F(Automation, ReturnsNewObjectsAsDispatchInterfaces)
{
    ASSERT_EQ(lumo::PutProperty(counter.Get(), u"Total", CVariant(LONG(5))), S_OK);
    CVariant clone;
    ASSERT_EQ(lumo::CallMethod(counter.Get(), u"Clone", {}, &clone), S_OK);
    ASSERT_EQ(clone.vt, VT_DISPATCH);
    ASSERT_NE(clone.pdispVal, nullptr);
    CVariant total;
    ASSERT_EQ(lumo::GetProperty(clone.pdispVal, u"Total", &total), S_OK);
    EXPECT_EQ(total.lVal, 5);
    ASSERT_EQ(lumo::PutProperty(clone.pdispVal, u"Total", CVariant(LONG(6))), S_OK);
    EXPECT_EQ(Total(), 5) << "the clone is a separate object";
}

TEST_F(Automation, NullPointersGiveEPointer)
{
    ComPtr<ISampleCounter> typed;
    ASSERT_EQ(counter.As(&typed), S_OK);
    EXPECT_EQ(typed->Add(1, nullptr), E_POINTER);
    EXPECT_EQ(counter->QueryInterface(ISampleText::iid, nullptr), E_POINTER);
    std::u16string name = u"Add";
    LPOLESTR names[] = {name.data()};
    EXPECT_EQ(counter->GetIDsOfNames(IID_NULL, names, 1, 0, nullptr), E_POINTER);
    EXPECT_EQ(counter->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr), E_POINTER);
    EXPECT_EQ(counter->GetTypeInfoCount(nullptr), E_POINTER);
    EXPECT_EQ(lumo::CallMethod(nullptr, u"Add"), E_POINTER);
    EXPECT_EQ(lumo::GetProperty(counter.Get(), u"Total", nullptr), E_POINTER);
}

TEST_F(Automation, AnswersItsInterfacesWithOneIdentity)
{
    ComPtr<IUnknown> fromCounter, fromText;
    ASSERT_EQ(counter.As(&fromCounter), S_OK);
    ASSERT_EQ(text.As(&fromText), S_OK);
    EXPECT_EQ(fromCounter.Get(), fromText.Get());
    ComPtr<ISampleCounter> typed;
    EXPECT_EQ(text.As(&typed), S_OK);
    EXPECT_EQ(static_cast<IDispatch*>(typed.Get()), counter.Get()) << "IDispatch is the first interface's";
    ComPtr<IClassFactory> notOffered;
    EXPECT_EQ(counter.As(&notOffered), E_NOINTERFACE);
    EXPECT_FALSE(notOffered);
    UINT count = 9;
    EXPECT_EQ(counter->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(counter->GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
}

// An interface with interface-typed parameters, served in this process.
struct IHolder : IDispatch {
    static constexpr IID iid = {0x8863043B, 0x2B96, 0x4224, {0xA6, 0x14, 0x4A, 0x7E, 0x2A, 0xC1, 0x89, 0x9F}};
    using Base = IDispatch;
    virtual HRESULT Hold(IUnknown* anything, ISampleText* text, LONG* length) = 0;
};

extern const DispatchTable kHolderMembers;
constexpr DispEntry kHolderEntries[] = {
    DispMethod<&IHolder::Hold, VT_UNKNOWN, VT_DISPATCH, VT_BYREF | VT_I4>(u"Hold", 1),
};
const DispatchTable kHolderMembers{kHolderEntries};

class CHolder : public TObject<TDispatchImpl<IHolder, kHolderMembers>> {
public:
    HRESULT Hold(IUnknown* anything, ISampleText* text, LONG* length) override
    {
        if (!anything || !text)
            return E_INVALIDARG;
        CBstr separator;
        HRESULT hr = text->get_Separator(separator.Put());
        *length = LONG(separator.Length());
        return hr;
    }
};

TEST_F(Automation, InterfaceArgumentsAreQueriedForTheDeclaredInterface)
{
    auto holder = MakeObject<CHolder>();
    CVariant length;
    ASSERT_EQ(lumo::CallMethod(holder.Get(), u"Hold", {counter.Get(), counter.Get()}, &length), S_OK);
    EXPECT_EQ(length.lVal, 1);
    // The holder does not offer ISampleText.
    lumo::DispatchError error;
    EXPECT_EQ(lumo::CallMethod(holder.Get(), u"Hold", {counter.Get(), static_cast<IDispatch*>(holder.Get())}, &length,
                               &error),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(error.argument, 1u);
    EXPECT_EQ(lumo::CallMethod(holder.Get(), u"Hold", {LONG(3), counter.Get()}, &length, &error), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(error.argument, 0u);
}

constexpr DispEntry kDuplicateId[] = {
    DispMethod<&IHolder::Hold, VT_UNKNOWN, VT_DISPATCH, VT_BYREF | VT_I4>(u"Hold", 1),
    DispMethod<&IHolder::Hold, VT_UNKNOWN, VT_DISPATCH, VT_BYREF | VT_I4>(u"Keep", 1),
};
constexpr DispEntry kDuplicateName[] = {
    DispMethod<&IHolder::Hold, VT_UNKNOWN, VT_DISPATCH, VT_BYREF | VT_I4>(u"Hold", 1),
    DispMethod<&IHolder::Hold, VT_UNKNOWN, VT_DISPATCH, VT_BYREF | VT_I4>(u"Hold", 2),
};

TEST(DispatchTableCheck, RefusesTablesWithClashingNamesOrIdentifiers)
{
    EXPECT_TRUE(DispatchTable::IsConsistent(kHolderEntries, std::size(kHolderEntries)));
    EXPECT_FALSE(DispatchTable::IsConsistent(kDuplicateId, std::size(kDuplicateId)));
    EXPECT_FALSE(DispatchTable::IsConsistent(kDuplicateName, std::size(kDuplicateName)));
    EXPECT_EQ(kHolderEntries[0].paramCount, 2u);
    EXPECT_EQ(kHolderEntries[0].result, VT_I4);
}

} // namespace
