/// @file
/// ZVXML: the instance model.
///
/// A CZVInstance is an object of one class holding property values. A value is
/// a primitive CZVValue (kept as text whatever the primitive type), a
/// ZVStructValue holding an embedded instance of a struct class, or a
/// ZVArrayValue of such values. ZVRelationshipInstance adds source and target
/// identifiers; CZVCustomAttribute is an instance attached to a schema item.
///
/// Ownership: an instance owns its values; a struct value owns its embedded
/// instance; an array owns its members. Copies are shallow (see ownership.h).
/// Primitive values are recycled: emptying or destroying an instance parks its
/// primitive values in a process-wide pool (CZVSchema::RecycleZVValue), from
/// which new values are taken. Call CZVSchema::FreeRecycledValues when the
/// pool is no longer needed.
///
/// Threads: an instance and its values are used by one thread at a time; only
/// the pool is shared, behind a lock.
#ifndef ZVXML_INSTANCE_H
#define ZVXML_INSTANCE_H

#include "config.h"
#include "dom.h"
#include "ownership.h"
#include "schema.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ZVXML {

namespace detail {
struct InstanceAccess; ///< the library's own helpers that reuse instances and values
class ValueNameIndex; ///< the names of a large instance's values
} // namespace detail

/// What one instance has for one property. Abstract.
class ZVXML_API ZVValueBase : public detail::SharedOwnership {
public:
    /// Runs Reinitialize with `property`.
    explicit ZVValueBase(CZVProperty* property);
    /// Copies the property link, the name and the null flag.
    ///@{
    ZVValueBase(const ZVValueBase& other);
    ZVValueBase& operator=(const ZVValueBase& other);
    ///@}
    /// Releases what the value owns (see each kind).
    virtual ~ZVValueBase();

    /// Appends the value's content as text (see CZVInstance::AppendAsXml).
    virtual void AppendValueToString(std::wstring& out) = 0;
    /// Appends the value's element, in `namespaceURI`, under `parent`: named
    /// after the value, or after the property's type when it is written as a
    /// member of an array (`isArrayMember`). Returns 0, or a nested result.
    virtual int WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember) = 0;

    /// Empties the name and sets the null flag, then links the value to
    /// `property` and copies its name. ZVXMLInvalidArgument for NULL (the link
    /// is then unchanged).
    void Reinitialize(CZVProperty* property);
    /// The property the value belongs to; not owned.
    CZVProperty* GetProperty() const;
    /// The value's own name: the property's name, or a renamed one ("P2")
    /// when an instance holds several values of one property. Rename a value
    /// an instance holds with SetPropertyName; the reference is for reading.
    ///@{
    std::wstring& PropertyName();
    const std::wstring& PropertyName() const;
    const wchar_t* GetPropertyName() const;
    void SetPropertyName(std::wstring name);
    ///@}
    /// Whether the null flag is set (the value holds nothing).
    bool IsNull() const;
    /// Sets the null flag; the content stays.
    void SetToNull();

    /// A new value of the right kind for `property`: an array value for an
    /// array property, a struct value for a struct property, else a pooled
    /// primitive value. The caller owns it. ZVXMLInvalidArgument for NULL.
    static ZVValueBase* CreateZVValueForZVProperty(CZVClass* zvClass, CZVProperty* property);
    /// A new value read from a property element of an instance element (its
    /// local name is the property of `zvClass`, or, as the writer names a
    /// second value of a property, the property's name and a counter from 2
    /// such as "Text2"); the caller owns it. NULL for
    /// an element without children. Throws ZVXMLInvalidArgument for a NULL
    /// class, ZVXMLFormatError for an unknown property, a wrongly named array
    /// member or a struct property that is not an array.
    static ZVValueBase* CreateZVValueFromXml(CZVClass* zvClass, XMLNode element);

    /// Appends "<name>" + content + "</name>"; nothing is escaped.
    void AppendAsXml(std::wstring& out);

protected:
    /// Clears the null flag.
    void SetNotNull();
    /// Empties the name and sets the null flag.
    void init();

private:
    CZVProperty* m_pZVProperty = nullptr;
    std::wstring m_propertyName;
    unsigned long m_flags = 1; ///< bit 0: null
};

/// A primitive value, held as text.
class ZVXML_API CZVValue : public ZVValueBase {
public:
    /// A value of `property` (ZVXMLInvalidArgument for NULL), null unless
    /// `text` is given.
    CZVValue(CZVProperty* property, const wchar_t* text);
    /// Copies the base part and the text.
    ///@{
    CZVValue(const CZVValue& other);
    CZVValue& operator=(const CZVValue& other);
    ///@}
    ~CZVValue() override;

    /// The text. Writing through the reference leaves the null flag alone.
    ///@{
    std::wstring& Value();
    const wchar_t* GetValue() const;
    ///@}
    /// Each setter clears the null flag. ZVXMLInvalidArgument for NULL text.
    ///@{
    void SetValue(const std::wstring& text);
    void SetValue(const wchar_t* text);
    ///@}
    /// Sets the text "%i" gives, in the C locale.
    ///@{
    void SetValue(long number);
    void SetValue(int number) { SetValue(static_cast<long>(number)); }
    ///@}
    /// Sets the text "%.15g" gives, with a three-digit exponent ("1e+020"),
    /// in the C locale.
    void SetValue(double number);
    /// Empties the text; the null flag stays.
    void InitializeValue();

    /// The text read as a number (wcstol / wcstod in the C locale, whatever
    /// the null flag): trailing characters are ignored, no digits give 0. A
    /// number out of range stores the clamped limit and throws
    /// ZVXMLRuntimeError. ZVXMLInvalidArgument for a NULL output.
    ///@{
    void GetValue(long* number) const;
    void GetValue(double* number) const;
    ///@}

    /// The text, when the value is not null.
    void AppendValueToString(std::wstring& out) override;
    /// The element holds the text as it is, null or not.
    int WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember) override;

private:
    friend struct detail::InstanceAccess;
    void InternalSetValue(const wchar_t* text);

    std::wstring m_value;
};

/// A value holding an embedded instance of a struct class.
class ZVXML_API ZVStructValue : public ZVValueBase {
public:
    /// Creates an empty embedded instance of the class named by the property's
    /// type name, found in the property's schema and its references; throws
    /// ZVXMLRuntimeError "Could not find class for struct property" without one.
    explicit ZVStructValue(CZVProperty* property);
    /// The copy shares the embedded instance.
    ///@{
    ZVStructValue(const ZVStructValue& other);
    ZVStructValue& operator=(const ZVStructValue& other);
    ///@}
    /// Releases the embedded instance (destroyed with its last owner).
    ~ZVStructValue() override;

    /// The embedded instance, owned by the value; NULL when emptied.
    CZVInstance* GetValue() const;
    /// Takes ownership of `instance` after checking that its type name is the
    /// property's type name (ZVXMLLogicError otherwise, value unchanged) and
    /// releases the instance held before. NULL empties the value.
    void SetValue(CZVInstance* instance);

    /// Replaces the embedded instance with a new instance of `structClass`
    /// read from `element`. Returns 0. ZVXMLRuntimeError "Could not find class
    /// for struct property" for a NULL class.
    int ReadXML(CZVClass* structClass, XMLNode element);

    /// The embedded instance's value elements. ZVXMLLogicError "Can't
    /// serialize a NULL struct" without an embedded instance.
    void AppendValueToString(std::wstring& out) override;
    /// The element holds the embedded instance's values directly.
    int WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember) override;

private:
    friend struct detail::InstanceAccess;
    CZVInstance* m_pInstance = nullptr;
};

/// An ordered list of owned member values.
class ZVXML_API ZVArrayValue : public ZVValueBase {
public:
    /// No members; null.
    explicit ZVArrayValue(CZVProperty* property);
    /// The copy shares the members.
    ///@{
    ZVArrayValue(const ZVArrayValue& other);
    ZVArrayValue& operator=(const ZVArrayValue& other);
    ///@}
    /// Releases the members (each destroyed with its last owner).
    ~ZVArrayValue() override;

    /// The number of members.
    std::size_t GetLength() const;
    /// Index must be below GetLength().
    ZVValueBase* GetValue(std::size_t index) const;
    /// Appends (NULL too) and takes ownership; clears the null flag.
    void PushBack(ZVValueBase* member);
    /// The embedded instance of the struct member at `index`, checked against
    /// `expectedClassName` unless it is NULL; ZVXMLLogicError when the member
    /// is not a struct value, holds no instance, or holds another class.
    CZVInstance* GetStructInstance(std::size_t index, const wchar_t* expectedClassName) const;

    /// "<T>" + member + "</T>" for each member, T the element type; a NULL
    /// member gives an empty pair.
    void AppendValueToString(std::wstring& out) override;
    /// One member element each (named after the element type), NULL entries
    /// skipped; members' results are not examined.
    int WriteXML(XMLDocument& document, XMLNode parent, std::wstring& namespaceURI, int isArrayMember) override;

private:
    friend struct detail::InstanceAccess;
    std::vector<ZVValueBase*> m_members;
};

/// An object of one class with its property values.
class ZVXML_API CZVInstance : public detail::SharedOwnership {
public:
    /// Empty id, the class's name as type name, no values. ZVXMLLogicError for
    /// a NULL class.
    explicit CZVInstance(CZVClass* zvClass);
    /// The copy shares the values.
    ///@{
    CZVInstance(const CZVInstance& other);
    CZVInstance& operator=(const CZVInstance& other);
    ///@}
    /// Empties the value list as RemoveAllZVValues does.
    virtual ~CZVInstance();

    /// Appends "<Type instanceid='id' >" (the id part only with an id; the
    /// extra attribute text as given), the values, "</Type>"; nothing escaped.
    virtual void AppendAsXml(std::wstring& out, const std::wstring& extraAttributes);
    /// Appends an element named after the type, in the namespace of the
    /// class's schema (XmlNamespace()), with "id" when the id is not empty and
    /// one element per value. Returns 0, or the first non-zero value result.
    /// Throws ZVXMLFormatError when an element (the instance's or a value's)
    /// would stand deeper in the document than the 256 levels a reader of a
    /// schema file accepts, counting the elements above `parent` too; a struct
    /// value that holds its own instance ends the same way. Values' WriteXML
    /// does the same.
    virtual int WriteXML(XMLDocument& document, XMLNode parent);
    /// ReadFromXML with the element's local name as type name.
    virtual int ReadXML(XMLDocument& document, XMLNode element);
    /// Sets the type name, then adds one value per child element (see
    /// ZVValueBase::CreateZVValueFromXml); the identifier is not read.
    /// Returns 0. Values added before a failure stay.
    int ReadFromXML(std::wstring& typeName, XMLNode element);

    /// The instance's identifier; empty when constructed.
    ///@{
    std::wstring& InstanceID();
    const wchar_t* GetInstanceID() const;
    ///@}
    /// Replaces the identifier. ZVXMLInvalidArgument for NULL.
    ///@{
    void SetInstanceID(const wchar_t* id);
    void SetInstanceID(const std::wstring& id);
    ///@}
    /// The name of the instance's class, as taken at construction.
    ///@{
    std::wstring& TypeName();
    const wchar_t* GetTypeName() const;
    ///@}
    /// Changes the type name only, not the class. ZVXMLInvalidArgument for
    /// NULL.
    ///@{
    void SetTypeName(const wchar_t* typeName);
    void SetTypeName(const std::wstring& typeName);
    ///@}
    /// The instance's class; not owned.
    CZVClass* GetZVClass() const;

    /// The number of values.
    std::size_t GetZVValueCount() const;
    /// Index must be below the count.
    ZVValueBase* GetZVValue(std::size_t index) const;
    /// Adds a value, which the instance then owns (NULL is ignored). A value
    /// whose name is taken is renamed P2, P3, ... after its original name.
    /// ZVXMLLogicError when the value is already in this instance.
    void AddZVValue(ZVValueBase* value);

    /// The value named `name` (exact); NULL when missing unless
    /// `throwIfMissing` (then ZVXMLLogicError).
    ZVValueBase* GetPropertyValue(const wchar_t* name, bool throwIfMissing);
    /// The primitive value named `name`, which must exist and be primitive.
    CZVValue* GetPrimitiveValue(const wchar_t* name);
    /// The primitive value named `name`, created from the class's property
    /// when missing.
    CZVValue* GetPrimitiveValueForSetting(const wchar_t* name);
    /// The text of the primitive value, which must exist.
    std::wstring& PropertyValue(const wchar_t* name);
    /// The text of the primitive value, or NULL when there is none or it is
    /// not primitive. Never throws for a missing value.
    const wchar_t* GetPropertyValue(const wchar_t* name);
    /// The primitive value's text read as a number (CZVValue::GetValue); the
    /// value must exist.
    ///@{
    void GetPropertyValue(const wchar_t* name, long* number);
    void GetPropertyValue(const wchar_t* name, double* number);
    ///@}

    /// Set the text of the primitive value named `name`, creating it from the
    /// class's property on first use: the text itself, a number as "%i" or
    /// "%.15g" give it (CZVValue::SetValue), an unsigned number as its
    /// unsigned decimal text (ULONG_MAX keeps all its digits). Throws
    /// ZVXMLDomainError for a property the class lacks, ZVXMLLogicError for a
    /// struct or array property.
    ///@{
    void SetPropertyValue(const wchar_t* name, const std::wstring& text);
    void SetPropertyValue(const wchar_t* name, const wchar_t* text);
    void SetPropertyValue(const wchar_t* name, long number);
    void SetPropertyValue(const wchar_t* name, int number) { SetPropertyValue(name, static_cast<long>(number)); }
    void SetPropertyValue(const wchar_t* name, unsigned long number);
    void SetPropertyValue(const wchar_t* name, double number);
    ///@}

    /// Empties the value list: primitive values go to the value pool once no
    /// copy holds them any more; the others are destroyed.
    void RemoveAllZVValues();
    /// The values' elements, without the instance's own tags.
    void AppendValueToString(std::wstring& out);

protected:
    /// The value named `name`; see GetPropertyValue(name, throwIfMissing).
    ZVValueBase* FindValue(const wchar_t* name, bool throwIfMissing);
    /// The value named `name`, created from the class's property when
    /// missing (ZVXMLDomainError without a class or such a property).
    ZVValueBase* FindOrCreateValue(const wchar_t* name);

private:
    friend struct detail::InstanceAccess;
    void RenameToFreeName(ZVValueBase* value);
    void AppendValue(ZVValueBase* value);
    void AddIndexed(ZVValueBase* value);
    void DropNameIndex();

    std::wstring m_instanceID;
    std::wstring m_typeName;
    CZVClass* m_pZVClass;
    std::vector<ZVValueBase*> m_values;
    /// The names of the values, once there are many (owned; NULL before).
    detail::ValueNameIndex* m_pNameIndex = nullptr;
};

/// An instance of a relationship class, with the ids of its two ends.
class ZVXML_API ZVRelationshipInstance : public CZVInstance {
public:
    /// As CZVInstance's constructor; both end ids empty.
    explicit ZVRelationshipInstance(CZVRelationshipClass* relationshipClass);
    /// As CZVInstance's copy; the end ids are copied.
    ///@{
    ZVRelationshipInstance(const ZVRelationshipInstance& other) = default;
    ZVRelationshipInstance& operator=(const ZVRelationshipInstance& other) = default;
    ~ZVRelationshipInstance() override;
    ///@}

    /// The ids of the source and target instances; the setters throw
    /// ZVXMLInvalidArgument for NULL.
    ///@{
    const wchar_t* GetSourceID() const;
    void SetSourceID(const wchar_t* id);
    const wchar_t* GetTargetID() const;
    void SetTargetID(const wchar_t* id);
    ///@}

private:
    std::wstring m_sourceID;
    std::wstring m_targetID;
};

/// An instance of a custom-attribute class attached to a schema item; its
/// type name identifies it among the item's custom attributes.
class ZVXML_API CZVCustomAttribute : public CZVInstance {
public:
    /// As CZVInstance's constructor and copy.
    ///@{
    explicit CZVCustomAttribute(CZVClass* zvClass);
    CZVCustomAttribute(const CZVCustomAttribute& other) = default;
    CZVCustomAttribute& operator=(const CZVCustomAttribute& other) = default;
    ~CZVCustomAttribute() override;
    ///@}
};

} // namespace ZVXML

#endif // ZVXML_INSTANCE_H
