/// @file
/// ZVXML: the schema model.
///
/// A CZVSchema is a named, versioned container of classes, relationship
/// classes and references to other schemas. Every item of a schema (the schema
/// itself, classes, relationship classes, properties, relationship ends)
/// carries the metadata of CZVCommon: a description, owned custom attributes
/// and extended information.
///
/// Ownership: the host owns the schemas it constructs. A schema owns its
/// classes, its relationship classes and every schema one of its references
/// points to; a class owns its properties; every item owns its custom
/// attributes. Copies are shallow (see ownership.h).
///
/// Names: schema names, prefixes, class names and property names follow one
/// naming rule: a letter or "_" first, then letters, digits or "_" (Unicode
/// letters and digits, whatever the host's locale).
///
/// Threads: separate schemas may be used on separate threads. A schema set
/// (a schema and the schemas it references) that no thread changes may also
/// be read by many threads at once: the lookups, iteration and iterators,
/// FindProperty, GetBaseZVClass, names (FullName, GetRelativeClassName), and
/// instance parses against it, each with a factory of its own. Reading
/// changes nothing shared: the name indexes behind the lookups are kept
/// current by every change, never built by a read. Changing a schema set
/// (adding, renaming, setting base classes, loading into it) takes one thread
/// and no readers. TypeName() and PropertyName() hand out a name for change:
/// readers use GetTypeName() and GetPropertyName(); a name changed through
/// the reference is seen by lookups, which walk the lists until the schema
/// next changes.
#ifndef ZVXML_SCHEMA_H
#define ZVXML_SCHEMA_H

#include "config.h"
#include "dom.h"
#include "ids.h"
#include "namespaces.h"
#include "ownership.h"

#include <atomic>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ZVXML {

class CZVClass;
class CZVConstraint;
class CZVCustomAttribute;
class CZVInstance;
class CZVProperty;
class CZVRelationshipClass;
class CZVRelationshipConstraint;
class CZVSchema;
class CZVValue;
class ZVArrayValue;

namespace detail {
class ClassNameIndex;
class PropertyNameIndex;
struct ChainInfo;
struct PropertyAccess;

/// A member each object keeps for itself: a copy starts without it.
template <class T>
struct Uncopied {
    Uncopied() = default;
    Uncopied(const Uncopied&) {}
    Uncopied& operator=(const Uncopied&) { return *this; }
    T value;
};
} // namespace detail

/// Class-type bits, combined in a class's type and in lookup masks.
enum ZVClassType : unsigned long {
    ZVCLASSTYPE_DOMAIN = 1, ///< an ordinary domain class
    ZVCLASSTYPE_STRUCT = 2, ///< usable as the type of a struct property
    ZVCLASSTYPE_CUSTOM_ATTRIBUTE = 4, ///< its instances are custom attributes
    ZVCLASSTYPE_ANY = 0xFFFFFFFFul ///< as a lookup mask: every class, flags or not
};

/// GetExtendedInfo's result when the key is not there.
constexpr int ZVXML_EXTENDED_INFO_NOT_FOUND = 32768;

/// The metadata every schema item carries.
class ZVXML_API CZVCommon : public detail::SharedOwnership {
public:
    /// An empty description; NULL gives an empty description too.
    ///@{
    CZVCommon();
    explicit CZVCommon(const std::wstring& description);
    explicit CZVCommon(const wchar_t* description);
    ///@}
    /// Copies the description and extended information; the copy shares the
    /// custom attributes.
    ///@{
    CZVCommon(const CZVCommon& other);
    CZVCommon& operator=(const CZVCommon& other);
    virtual ~CZVCommon();
    ///@}

    /// Free text; empty by default.
    const wchar_t* GetDescription() const;
    /// Throws ZVXMLInvalidArgument for NULL.
    ///@{
    void SetDescription(const wchar_t* description);
    void SetDescription(const std::wstring& description);
    ///@}

    /// Custom attributes, in the order added. The item takes ownership; NULL
    /// is ignored. Indexes are not checked (0 to count - 1).
    ///@{
    void AddZVCustomAttribute(CZVCustomAttribute* customAttribute);
    CZVCustomAttribute* GetZVCustomAttribute(std::size_t index) const;
    std::size_t GetZVCustomAttributeCount() const;
    ///@}
    /// The first custom attribute whose type name is `name` (exact); NULL when
    /// there is none, or for NULL.
    CZVCustomAttribute* FindZVCustomAttributeByName(const wchar_t* name) const;
    /// The array value of `propertyName` in this item's custom attribute of
    /// class `customAttributeClass`. A missing custom attribute gives NULL,
    /// unless `create` is set: then it is created and attached, with the
    /// array. Throws ZVXMLLogicError when the class has no such property or
    /// the property is not an array, ZVXMLLogicError (from the value lookup)
    /// when an existing custom attribute lacks the value.
    ZVArrayValue* GetArrayFromCustomAttribute(CZVClass* customAttributeClass, const wchar_t* propertyName, int create);
    /// Appends a new struct member to that array (creating the custom
    /// attribute and the array when missing) and returns the member's embedded
    /// instance for the caller to fill; the array owns it.
    CZVInstance* CreateArrayMemberForCustomAttribute(CZVClass* customAttributeClass, const wchar_t* propertyName);
    /// Appends a "ZVCustomAttributes" element holding one element per custom
    /// attribute under `element` (nothing without custom attributes). Returns
    /// 0, or the first non-zero result of a custom attribute's WriteXML.
    int WriteCustomAttributesToXML(XMLDocument& document, XMLNode element);

    /// Extended information: two separate maps, keyed case-sensitively. Set
    /// inserts or replaces. Get stores the value and returns 0, or returns
    /// ZVXML_EXTENDED_INFO_NOT_FOUND and leaves the output alone.
    ///@{
    void SetExtendedInfo(std::wstring key, std::wstring value);
    void SetExtendedInfo(std::wstring key, unsigned long value);
    int GetExtendedInfo(std::wstring key, std::wstring& value) const;
    ///@}
    /// Throws ZVXMLInvalidArgument for a NULL output.
    int GetExtendedInfo(std::wstring key, unsigned long* value) const;

    /// Reads the children of a "ZVCustomAttributes" element into custom
    /// attributes appended to this item, their classes looked up in `schema`
    /// and its references. Returns 0. Throws ZVXMLFormatError for an unknown
    /// class or property, ZVXMLInvalidArgument for a NULL schema, and what
    /// reading the values throws; a custom attribute half read is destroyed.
    int ReadCustomAttributesFromXML(CZVSchema* schema, XMLDocument& document, XMLNode element);

protected:
    /// The owned custom attributes, for derived classes that copy or move them.
    std::vector<CZVCustomAttribute*>& CustomAttributeList() { return m_customAttributes; }
    /// The whole description, U+0000 included, for derived classes' writers.
    const std::wstring& DescriptionText() const { return m_description; }

private:
    std::wstring m_description;
    std::vector<CZVCustomAttribute*> m_customAttributes;
    std::map<std::wstring, std::wstring> m_stringInfo;
    std::map<std::wstring, unsigned long> m_numberInfo;
};

/// One property of a class: a primitive type name or the name of a struct
/// class, array bounds as free text, and flags.
class ZVXML_API CZVProperty : public CZVCommon {
public:
    /// The property is not added to `zvClass` by this constructor.
    ///@{
    explicit CZVProperty(CZVClass* zvClass);
    CZVProperty(const CZVProperty& other);
    CZVProperty& operator=(const CZVProperty& other);
    ~CZVProperty() override;
    ///@}

    /// Reads a "ZVProperty" ("ZVArrayProperty", "ZVStructProperty") element:
    /// attributes, then custom attributes (against the class's schema;
    /// `schema` is not used). Returns 0 or a custom-attribute reader's result.
    /// ZVXMLFormatError without typeName or propertyName; an unknown
    /// attribute is logged as a warning.
    int ReadXML(CZVSchema* schema, XMLDocument& document, XMLNode element);

    /// The name. PropertyName() is for reading: changing the name through it
    /// skips the naming rule, and the classes holding the property walk
    /// their lists for it until they next change (see the thread rule).
    ///@{
    const wchar_t* GetPropertyName() const;
    std::wstring& PropertyName();
    ///@}
    /// Checked by the naming rule (ZVXMLLogicError for NULL, ZVXMLDomainError
    /// for an invalid name). Renaming does not look for another property of
    /// the same name.
    ///@{
    void SetPropertyName(const wchar_t* name);
    void SetPropertyName(const std::wstring& name);
    ///@}

    /// A primitive type name or a struct class name, "prefix:name" for a
    /// class of a referenced schema. TypeName() is for reading: changing it
    /// through the reference leaves IsStruct() as it was.
    ///@{
    const wchar_t* GetTypeName() const;
    std::wstring& TypeName();
    ///@}
    /// Not checked by the naming rule ("p:Point" is allowed). Makes the
    /// property a struct property unless the name is a primitive type name.
    /// Throws ZVXMLInvalidArgument for NULL.
    ///@{
    void SetTypeName(const wchar_t* typeName);
    void SetTypeName(const std::wstring& typeName);
    ///@}

    /// Free text, stored unchanged. Any value other than "1" makes the
    /// property an array; "1" never clears that. ZVXMLInvalidArgument for NULL.
    ///@{
    const wchar_t* GetMinOccurs() const;
    void SetMinOccurs(const wchar_t* minOccurs);
    const wchar_t* GetMaxOccurs() const;
    void SetMaxOccurs(const wchar_t* maxOccurs);
    ///@}

    /// Set by SetTypeName and the occurs texts; nonzero when true.
    ///@{
    int IsStruct() const;
    int IsArray() const;
    ///@}
    /// Host flags, stored and written unchanged; 0 by default.
    ///@{
    int ReadOnly() const;
    void SetReadOnly(int readOnly);
    long GetAttrId() const;
    void SetAttrId(long attrId);
    ///@}
    /// Empty by default. SetDisplayLabel throws ZVXMLInvalidArgument for NULL.
    ///@{
    const wchar_t* GetDisplayLabel() const;
    void SetDisplayLabel(const wchar_t* label);
    ///@}
    /// The class given to the constructor (not owned).
    CZVClass* GetZVClass() const;

    /// NULL marks the default value absent (the initial state); GetClassDefaultValue
    /// returns NULL while it is absent.
    ///@{
    void SetClassDefaultValue(const wchar_t* value);
    const wchar_t* GetClassDefaultValue() const;
    ///@}

    /// Appends the property's element ("ZVProperty", "ZVStructProperty" or,
    /// with occurs texts, "ZVArrayProperty") under the class element. Returns
    /// the result of writing the property's custom attributes.
    int WriteXML(XMLDocument& document, XMLNode classElement);

private:
    friend struct detail::PropertyAccess;
    void Rename(std::wstring& name);

    std::wstring m_propertyName;
    std::wstring m_typeName;
    std::wstring m_minOccurs;
    std::wstring m_maxOccurs;
    std::wstring m_displayLabel;
    int m_isStruct = 0;
    int m_isArray = 0;
    int m_readOnly = 0;
    CZVClass* m_pZVClass;
    long m_attrId = 0;
    std::wstring m_classDefaultValue;
    unsigned char m_defaultValueIsNull = 1;
    /// The classes whose property lists hold this property, once per place;
    /// told of every change of its name.
    detail::Uncopied<std::vector<CZVClass*>> m_holders;
};

/// A class of a schema: a name, an optional base class, class-type flags and
/// an ordered list of owned properties.
class ZVXML_API CZVClass : public CZVCommon {
public:
    /// Throws ZVXMLInvalidArgument for a NULL schema ("Passed NULL pZVSchema
    /// into CZVClass constructor") or a NULL or empty name, and the naming
    /// rule's ZVXMLDomainError. The class is not added to the schema here.
    CZVClass(const wchar_t* name, CZVSchema* schema, CIDGenerationStrategy* strategy);
    /// The copy shares the properties and custom attributes. Assigning a class
    /// whose base class is this class or derives from it throws
    /// ZVXMLLogicError, as SetBaseClass does, and changes nothing. Assignment
    /// takes the other class's schema only into a class no schema holds: a
    /// class in a schema's list stays that schema's (see GetZVSchema).
    ///@{
    CZVClass(const CZVClass& other);
    CZVClass& operator=(const CZVClass& other);
    ~CZVClass() override;
    ///@}

    /// Appends the class's "ZVClass" element, with its base class, custom
    /// attributes and properties, under `parent`. Returns 0, or the first
    /// non-zero result of a nested writer (the elements so far stay).
    virtual int WriteXML(XMLDocument& document, XMLNode parent);
    /// Reading a "ZVClass" element: ReadXMLAttributes, then, if it returned 0,
    /// ReadXMLContents. The schema loader calls the halves in separate passes.
    /// Content errors are thrown; a non-zero result comes only from overrides.
    virtual int ReadXML(CZVSchema* schema, XMLDocument& document, XMLNode element);
    /// Type name (ZVXMLFormatError when missing), base class (resolved at
    /// once: ZVXMLLogicError when unknown), description, label, flags.
    virtual int ReadXMLAttributes(XMLDocument& document, XMLNode element);
    /// Properties, "BaseClass" (ZVXMLFormatError for a second one) and custom
    /// attributes, read against the class's own schema (`schema` is not used).
    /// Within a schema load, the custom attributes of classes, properties and
    /// relationship ends are read once every class has its properties, so
    /// that an attribute may be of any class of the file.
    virtual int ReadXMLContents(CZVSchema* schema, XMLDocument& document, XMLNode element);

    /// The plain name. TypeName() is for reading: rename a class that is in a
    /// schema with SetTypeName, which keeps the schema's lookups up to date
    /// (a rename through the reference is seen by lookups that walk the list
    /// until the schema next changes).
    ///@{
    const wchar_t* GetTypeName() const;
    std::wstring& TypeName();
    ///@}
    /// Checked by the naming rule. Throws ZVXMLInvalidArgument for NULL.
    /// Renaming does not look for another class of the same name.
    ///@{
    void SetTypeName(const wchar_t* name);
    void SetTypeName(const std::wstring& name);
    ///@}
    /// The schema's prefix, ":" and the type name.
    std::wstring FullName() const;

    /// Empty by default. SetDisplayLabel throws ZVXMLInvalidArgument for NULL.
    ///@{
    const wchar_t* GetDisplayLabel() const;
    void SetDisplayLabel(const wchar_t* label);
    ///@}

    /// The schema the class belongs to (not owned). AddZVClass sets it;
    /// SetZVSchema alone does not add the class to the schema. A class shared
    /// by a schema and its copies belongs to the schema that added it while
    /// that one holds it, then to the first of the others that still does.
    ///@{
    CZVSchema* GetZVSchema() const;
    void SetZVSchema(CZVSchema* schema);
    ///@}
    /// The strategy given to the constructor (not owned; may be NULL).
    CIDGenerationStrategy* GetIDGenerationStrategy() const;

    /// The base class name, relative to this class's schema ("Part" or
    /// "b:Part"); empty when there is none.
    const wchar_t* GetBaseClass() const;
    /// Looks `name` (plain or "prefix:name") up in this class's schema and its
    /// references, then stores its relative name. Throws ZVXMLLogicError when
    /// no such class exists, and when the class found is this class or derives
    /// from it (the base classes would form a loop); the class is then
    /// unchanged.
    ///@{
    void SetBaseClass(const wchar_t* name);
    void SetBaseClass(const std::wstring& name);
    ///@}
    /// The base class: the one SetBaseClass found, else the stored name looked
    /// up again; NULL without a base class name. Throws ZVXMLLogicError when
    /// the name cannot be resolved.
    CZVClass* GetBaseZVClass();

    /// The three class-type flags, each stored as given; all 0 for a new
    /// class.
    ///@{
    int IsStruct() const;
    void SetIsStruct(int isStruct);
    int IsCustomAttributeClass() const;
    void SetIsCustomAttributeClass(int isCustomAttributeClass);
    int IsDomainClass() const;
    void SetIsDomainClass(int isDomainClass);
    ///@}
    /// ZVClassType bits of the three flags.
    unsigned long GetClassType() const;
    /// Accepts 1, 3, 4, 5, 6 and 7; stores the flags as 1, 2 and 4. Throws
    /// ZVXMLInvalidArgument for any other value.
    void SetClassType(unsigned long classType);
    /// True for ZVCLASSTYPE_ANY, else when the class type shares a bit with it.
    bool MatchesClassType(unsigned long classTypeMask) const;

    /// This class's own properties (not inherited ones); index not checked.
    ///@{
    CZVProperty* GetZVProperty(std::size_t index) const;
    std::size_t GetZVPropertyCount() const;
    ///@}
    /// Own properties first, then up the base-class chain. Throws
    /// ZVXMLInvalidArgument for NULL and ZVXMLLogicError for a base-class
    /// chain that cannot be resolved or that loops.
    ///@{
    CZVProperty* FindProperty(const wchar_t* name);
    bool HasProperty(const wchar_t* name);
    ///@}
    /// Appends a property, which the class then owns; NULL is ignored. Throws
    /// ZVXMLDomainError for a name already found by FindProperty and
    /// ZVXMLLogicError for a struct type no class of the schema (or of its
    /// references) has.
    ///@{
    void AddZVProperty(CZVProperty* property);
    CZVProperty* AddZVProperty(std::wstring name, std::wstring typeName, std::wstring description);
    ///@}
    /// Removes and destroys the first own property of that name; NULL or no
    /// match does nothing.
    ///@{
    void RemoveZVProperty(const wchar_t* name);
    void RemoveAllZVProperties();
    ///@}

    /// The naming rule for class and property names (kind label "ZVClass or
    /// ZVProperty"). NULL always throws ZVXMLLogicError; an empty name is
    /// valid without `throwOnError` and throws ZVXMLDomainError with it.
    static int ZVNameIsValid(const wchar_t* name, int throwOnError);

    /// The library's own helpers; defined inside the library only.
    struct Internals;

private:
    friend class CZVSchema;
    friend struct Internals;
    int WriteBaseClassToXML(XMLDocument& document, XMLNode classElement);
    void SetTypeNameChecked(const wchar_t* name);
    void NoteRenamed(const std::wstring& previous);
    void NoteBaseRenamed(const std::wstring& previous);
    void NotePropertyAdded(CZVProperty* property);
    void NotePropertyRemoved(CZVProperty* property);

    std::wstring m_typeName;
    std::wstring m_baseClassName;
    std::wstring m_displayLabel;
    CZVClass* m_pBaseClass = nullptr;
    int m_isStruct = 0;
    int m_isCustomAttributeClass = 0;
    int m_isDomainClass = 0;
    std::vector<CZVProperty*> m_properties;
    CIDGenerationStrategy* m_pIDGenerationStrategy;
    CZVSchema* m_pZVSchema;
    /// The name indexes of the schema lists that hold this class, told of
    /// every change of its names and properties.
    std::vector<detail::ClassNameIndex*> m_listIndexes;
    /// The schemas whose lists hold this class (a schema and its copies),
    /// in the order they took it. When the class's schema lets go of it, the
    /// class belongs to the first that still holds it.
    std::vector<CZVSchema*> m_holders;
    /// An index of the properties' names, kept for classes with many.
    std::unique_ptr<detail::PropertyNameIndex> m_propertyIndex;
    /// Where the class stands in its base-class chain, as last worked out
    /// while adding a property (see AddZVProperty).
    std::unique_ptr<detail::ChainInfo> m_chainInfo;
    /// Whether some class has had this one as its base class.
    std::atomic<bool> m_hasDerived{false};
    /// The classes whose base-class link points at this one, chained through
    /// their own m_nextDerived/m_previousDerived: a class being destroyed
    /// clears their links, which then fall back to the base class name.
    CZVClass* m_firstDerived = nullptr;
    CZVClass* m_nextDerived = nullptr;
    CZVClass* m_previousDerived = nullptr;
};

/// The source end of a relationship class: one class and its key properties.
/// The fields are the model; the reader and writer use them directly.
class ZVXML_API CZVSource : private CZVCommon {
public:
    /// A copy is not bound to a relationship class until one adopts it;
    /// assignment copies the fields and keeps the end's own binding (an end
    /// assigned into a relationship class stays that class's end). Both
    /// share the custom attributes.
    ///@{
    CZVSource();
    CZVSource(const CZVSource& other);
    CZVSource& operator=(const CZVSource& other);
    ~CZVSource() override;
    ///@}

    /// The metadata of the end (its custom attributes).
    ///@{
    CZVCommon& Common() { return *this; }
    const CZVCommon& Common() const { return *this; }
    ///@}

    CZVRelationshipClass* m_pRelationshipClass = nullptr; ///< not owned
    std::wstring m_roleLabel; ///< free text
    std::wstring m_className; ///< relative to the relationship class's schema
    std::vector<std::wstring> m_keyVector; ///< key property names of the class
    std::wstring m_cardinality; ///< free text
    int m_isPolymorphic = 0; ///< the polymorphic flag; 0 by default

private:
    friend class CZVRelationshipClass;
    int WriteXML(CZVRelationshipClass* owner, XMLDocument& document, XMLNode relationshipElement);
};

/// The target end: one or more classes, each with its own key list.
/// m_keyVectors has as many entries as m_classNames.
class ZVXML_API CZVTargets : private CZVCommon {
public:
    /// As for CZVSource.
    ///@{
    CZVTargets();
    CZVTargets(const CZVTargets& other);
    CZVTargets& operator=(const CZVTargets& other);
    ~CZVTargets() override;
    ///@}

    /// The metadata of the end (its custom attributes).
    ///@{
    CZVCommon& Common() { return *this; }
    const CZVCommon& Common() const { return *this; }
    ///@}

    CZVRelationshipClass* m_pRelationshipClass = nullptr; ///< not owned
    std::wstring m_roleLabel; ///< free text
    std::vector<std::wstring> m_classNames; ///< relative to the relationship class's schema
    std::vector<std::vector<std::wstring>> m_keyVectors; ///< key property names, one list per class
    std::wstring m_cardinality; ///< free text
    int m_isPolymorphic = 0; ///< the polymorphic flag; 0 by default

private:
    friend class CZVRelationshipClass;
    int WriteXML(CZVRelationshipClass* owner, XMLDocument& document, XMLNode relationshipElement);
};

/// A class that relates instances of a source class to instances of target
/// classes. Found only by the relationship-class lookups.
class ZVXML_API CZVRelationshipClass : public CZVClass {
public:
    /// As CZVClass's constructor; the ends start empty.
    CZVRelationshipClass(const wchar_t* name, CZVSchema* schema, CIDGenerationStrategy* strategy);
    /// The copy's ends refer back to the copy.
    ///@{
    CZVRelationshipClass(const CZVRelationshipClass& other);
    CZVRelationshipClass& operator=(const CZVRelationshipClass& other);
    ~CZVRelationshipClass() override;
    ///@}

    /// Appends the "ZVRelationshipClass" element (base class as an
    /// attribute), its custom attributes, properties, "Source" and "Target".
    /// Throws ZVXMLLogicError when the target end has a different number of
    /// class names and key vectors.
    int WriteXML(XMLDocument& document, XMLNode parent) override;
    /// The class part, the strength texts, the "Source" and "Target" ends and
    /// legacy "ZVRelationshipConstraints": each pair is upgraded into the ends
    /// and handed to `schema`'s upgrade handler, then destroyed. Throws
    /// ZVXMLFormatError for content errors, ZVXMLLogicError "Problem while
    /// attempting to upgrade legacy ZVRelationshipConstraint element" when the
    /// handler refuses a pair.
    int ReadXMLContents(CZVSchema* schema, XMLDocument& document, XMLNode element) override;

    /// The legacy conversion. A class name is resolved among the classes of
    /// `schema` and its references (exact type name), then by the schema's
    /// class resolution helper; ZVXMLFormatError when neither finds it.
    /// The first pair sets the source's class, role label and keys; later
    /// ones generalise its class (FindCommonClass). Each distinct target class
    /// is added once, with its keys.
    ///@{
    void UpgradeLegacySource(CZVSchema* schema, CZVConstraint* constraint);
    void UpgradeLegacyTarget(CZVSchema* schema, CZVConstraint* constraint);
    ///@}
    /// UpgradeLegacySource with the pair's source, then UpgradeLegacyTarget.
    void UpgradeLegacyZVRelationshipConstraint(CZVSchema* schema, CZVRelationshipConstraint* constraint);
    /// 0 and `first` for equal names; otherwise 1 and the nearest of `first`
    /// and its base classes that is also a base class of `second` (not
    /// `second` itself), else "ZVObject". The names are relative to `schema`
    /// (as the upgrade stores them: "lb:Part" for a class of a referenced
    /// schema), and so is the result: the plain type name for a class of
    /// `schema`.
    int FindCommonClass(CZVSchema* schema, const wchar_t* first, const wchar_t* second, std::wstring& common);

    /// Free text, unchecked; empty by default. The setters throw
    /// ZVXMLInvalidArgument for NULL.
    ///@{
    const wchar_t* GetStrength() const;
    void SetStrength(const wchar_t* strength);
    const wchar_t* GetStrengthDirection() const;
    void SetStrengthDirection(const wchar_t* strengthDirection);
    ///@}

    CZVSource m_source; ///< bound to this class
    CZVTargets m_targets; ///< bound to this class

private:
    void BindEnds();

    std::wstring m_strength;
    std::wstring m_strengthDirection;
};

/// One end of a legacy relationship constraint pair.
class ZVXML_API CZVConstraint : public detail::SharedOwnership {
public:
    /// Empty class name, role label and keys.
    CZVConstraint();
    /// One key when `key` is not NULL.
    CZVConstraint(const std::wstring& className, const wchar_t* key);
    /// Copies every field.
    ///@{
    CZVConstraint(const CZVConstraint& other) = default;
    CZVConstraint& operator=(const CZVConstraint& other) = default;
    ~CZVConstraint();
    ///@}

    /// Reads a "ZVSourceConstraint" or "ZVTargetConstraint" element: className,
    /// roleLabel and one key per "ZVRelationshipKey" child. Returns 0.
    int ReadXML(XMLDocument& document, XMLNode element);

    /// The class name, role label and keys. The setters and AddZVRelationshipKey
    /// ignore NULL.
    ///@{
    const wchar_t* GetClassNameW() const;
    void SetClassName(const wchar_t* className);
    const wchar_t* GetRoleLabel() const;
    void SetRoleLabel(const wchar_t* roleLabel);
    void AddZVRelationshipKey(const wchar_t* key);
    ///@}
    /// Index not checked (0 to count - 1).
    ///@{
    std::wstring GetZVRelationshipKey(std::size_t index) const;
    std::size_t GetZVRelationshipKeyCount() const;
    ///@}

private:
    std::wstring m_className;
    std::wstring m_roleLabel;
    std::vector<std::wstring> m_keys;
};

/// A legacy pair of constraints; it owns both. Copies share them.
class ZVXML_API CZVRelationshipConstraint {
public:
    /// Starts with neither constraint.
    CZVRelationshipConstraint();
    /// The copy shares the constraints; each is destroyed with its last owner.
    ///@{
    CZVRelationshipConstraint(const CZVRelationshipConstraint& other);
    CZVRelationshipConstraint& operator=(const CZVRelationshipConstraint& other);
    ~CZVRelationshipConstraint();
    ///@}

    /// Reads a legacy pair element: its "ZVSourceConstraint" and
    /// "ZVTargetConstraint" children (a later one replaces an earlier one).
    /// Returns 0.
    int ReadXML(XMLDocument& document, XMLNode element);

    /// NULL until set or read.
    ///@{
    CZVConstraint* GetSourceConstraint() const;
    CZVConstraint* GetTargetConstraint() const;
    ///@}
    /// Takes ownership of `constraint` (may be NULL) and releases the one held
    /// before, unless it is the same.
    ///@{
    void SetSourceConstraint(CZVConstraint* constraint);
    void SetTargetConstraint(CZVConstraint* constraint);
    ///@}

private:
    CZVConstraint* m_pSourceConstraint = nullptr;
    CZVConstraint* m_pTargetConstraint = nullptr;
};

/// A reference from a schema to another schema. The fields are the model.
/// A reference does not own its schema; the schema whose list holds it does.
class ZVXML_API CZVSchemaReference {
public:
    /// Empty fields and no schema.
    CZVSchemaReference() = default;
    /// Takes the schema's name, prefix and version. ZVXMLInvalidArgument for NULL.
    explicit CZVSchemaReference(CZVSchema* schema);

    /// Appends a "ZVSchemaReference" element with name, version and prefix.
    int WriteXML(XMLDocument& document, XMLNode parent);
    /// Reads a "ZVSchemaReference" element and, unless `schema` already is or
    /// holds that schema, finds its file (the current directory, then
    /// ZVSCHEMA_PATH, then the schema's reference search path), loads it into
    /// a new schema and hands this reference to `schema`->AddReference, which
    /// then owns the new schema. Returns 0. Throws ZVXMLFormatError for an
    /// unknown attribute, the naming rule's and ParseVersionString's errors
    /// (before any file is searched), ZVXMLRuntimeError when the file is not
    /// found or is already being loaded further up (a circular reference).
    int ReadXML(CZVSchema* schema, XMLDocument& document, XMLNode element);

    std::wstring m_schemaName; ///< the referenced schema's name
    std::wstring m_schemaPrefix; ///< the prefix its classes are named with here
    std::wstring m_versionString; ///< "MM.mm"
    CZVSchema* m_pZVSchema = nullptr; ///< the loaded schema; NULL until loaded
};

/// The host hook that finds a class a legacy relationship constraint names
/// when the schema and its references do not have it; NULL if it cannot.
typedef CZVClass* (*ZVClassResolutionHelper)(CZVSchema* schema, const wchar_t* className);

/// The host hook called for each legacy constraint pair of a relationship
/// class once the pair has been converted into the class's ends. The same
/// `arrayValue` variable (NULL before the first pair of an element) is passed
/// for every pair of one element. Returns 0 to accept, anything else to fail.
typedef int (*ZVRelationshipUpgradeHandler)(CZVSchema* schema, CZVRelationshipClass* relationshipClass,
                                            CZVRelationshipConstraint* constraint, ZVArrayValue** arrayValue);

/// A schema: a named, versioned container of classes, relationship classes
/// and references.
class ZVXML_API CZVSchema : public CZVCommon {
public:
    /// Note the order: prefix first, then name. The name is checked by the
    /// naming rule with kind label "ZVSchema", the prefix with "ZVClass or
    /// ZVProperty"; both throw. A NULL description gives an empty one.
    ///@{
    CZVSchema(const wchar_t* prefix, const wchar_t* name, const wchar_t* description);
    CZVSchema(const std::wstring& prefix, const std::wstring& name, const std::wstring& description);
    ///@}
    /// The copy shares the classes, relationship classes and referenced
    /// schemas (and has its own lists of them).
    ///@{
    CZVSchema(const CZVSchema& other);
    CZVSchema& operator=(const CZVSchema& other);
    ~CZVSchema() override;
    ///@}

    /// Appends a copy of `reference` without checking for duplicates; the
    /// schema then owns the schema the reference points to. The schema reader
    /// adds every reference through this call. When it throws (out of
    /// memory), nothing was added and the caller still owns that schema.
    virtual void AddReference(CZVSchemaReference& reference);

    /// Loads the schema file at `path` into this schema (adding to what it
    /// holds), with the schemas it references. Returns 0 when read completely;
    /// 32768 without a "ZVSchema" root, 1000 for a foreign namespace, 1001
    /// for the legacy one (then nothing is read and an error line is logged).
    /// Throws ZVXMLInvalidArgument for NULL, ZVXMLRuntimeError when the file
    /// does not load (its parse error logged first), and the readers' errors;
    /// nothing read before a failure is rolled back.
    int ReadXML(const wchar_t* path);

    // --- Identity ---------------------------------------------------------
    /// The name and the prefix. The references are for reading: changing
    /// them through SchemaName() or SchemaPrefix() skips the naming rule.
    ///@{
    const wchar_t* GetSchemaName() const;
    std::wstring& SchemaName();
    const wchar_t* GetSchemaPrefix() const;
    std::wstring& SchemaPrefix();
    ///@}
    /// Checked by the naming rule with the kind label "ZVSchema"; throws for
    /// NULL and invalid names.
    ///@{
    void SetSchemaName(const wchar_t* name);
    void SetSchemaPrefix(const wchar_t* prefix);
    ///@}
    /// The naming rule with the kind label "ZVSchema".
    static int SchemaNameIsValid(const wchar_t* name, int throwOnError);

    /// "MM.mm": up to three digits each side of the first ".". Throws
    /// ZVXMLLogicError for NULL outputs or an empty text and ZVXMLFormatError
    /// for a text of the wrong form; characters after the digits are ignored.
    static void ParseVersionString(const wchar_t* text, unsigned long* pMajor, unsigned long* pMinor);
    /// "%02d.%02d": 1.2 gives "01.02", 5.123 gives "05.123".
    static void FormatVersionString(std::wstring& out, unsigned long major, unsigned long minor);
    /// The version: VersionString() formats it, SetVersionString parses it
    /// with ParseVersionString (and throws as it does). 0.0 by default.
    ///@{
    std::wstring VersionString() const;
    void SetVersionString(const wchar_t* text);
    unsigned long GetVersionMajor() const;
    unsigned long GetVersionMinor() const;
    ///@}

    /// The name, "." and the version: "Pipes.01.02".
    std::wstring XmlNamespace() const;
    /// "Pipes.01.02.zvschema.xml".
    std::wstring OfficialFilename() const;

    /// Empty by default. SetDisplayLabel throws ZVXMLInvalidArgument for NULL.
    ///@{
    const wchar_t* GetDisplayLabel() const;
    std::wstring DisplayLabel() const;
    void SetDisplayLabel(const wchar_t* label);
    ///@}

    /// Nonzero for "string", "boolean", "double", "int", "point3d",
    /// "dateTime", "binary" and "long", exactly. ZVXMLInvalidArgument for NULL.
    static int IsPrimitiveType(const wchar_t* typeName);

    /// Further folders, separated by ";" (and ":"), searched for referenced
    /// schema files after the current directory and ZVSCHEMA_PATH. Empty by
    /// default.
    ///@{
    const wchar_t* GetReferenceSearchPath() const;
    void SetReferenceSearchPath(const wchar_t* path);
    ///@}

    // --- Schema files -----------------------------------------------------
    /// Writes the schema as a schema file (UTF-8, indented): the root with its
    /// attributes and one namespace declaration per reference, the
    /// references, the schema's custom attributes, then custom-attribute
    /// classes, custom-attribute relationship classes, other classes and other
    /// relationship classes. An existing file is replaced atomically; on any
    /// failure it is left as it was. Returns 0, or the first non-zero result
    /// of a nested writer (then nothing is written). Throws ZVXMLRuntimeError
    /// when the file cannot be saved, also when it would hold more namespace
    /// declarations in scope at an element than the 1,000 a reader accepts
    /// (999 references or more: "Cannot write ZVSchema 'S': with its 999
    /// references the file would hold 1001 namespace declarations in scope,
    /// more than the 1000 a reader of the file accepts."), and
    /// ZVXMLFormatError for values a reader could not take (see
    /// CZVInstance::WriteXML).
    int WriteXML(const wchar_t* path);

    // --- Contents ---------------------------------------------------------
    /// Adds a class, which the schema then owns (NULL is ignored). A class
    /// whose name is taken is renamed N2, N3, ...; a class is placed before
    /// the first class that names it as base class. AddZVClass also points
    /// the class at this schema; AddZVRelationshipClass keeps the schema the
    /// class names (the one it was made with, or its source's for a copy)
    /// until that schema is destroyed, when the class passes to a schema
    /// holding it. A class already in the list is refused
    /// (ZVXMLLogicError): its own name would always be taken.
    ///@{
    void AddZVClass(CZVClass* zvClass);
    void AddZVRelationshipClass(CZVRelationshipClass* relationshipClass);
    ///@}
    /// Creates, types (only 1, 3, 4, 5, 6, 7; ZVXMLInvalidArgument otherwise,
    /// and nothing is added) and adds a class. The name may come back changed.
    ///@{
    CZVClass* CreateZVClass(const wchar_t* name, const wchar_t* description, unsigned long classType);
    CZVRelationshipClass* CreateZVRelationshipClass(const wchar_t* name, const wchar_t* description,
                                                    unsigned long classType);
    ///@}
    /// Takes the classes (not the relationship classes or references) out of
    /// the schema and destroys them. Classes that custom attributes still
    /// held may use leave the list and the lookups but live until the schema
    /// is destroyed: those used by the schema's own custom attributes and its
    /// relationship classes', and, for a schema that others own through
    /// their references (whose custom attributes it cannot see), all.
    void RemoveAllClasses();

    /// This schema's own lists; indexes not checked.
    ///@{
    CZVClass* GetZVClassByIndex(std::size_t index) const;
    std::size_t GetZVClassCount() const;
    CZVRelationshipClass* GetZVRelationshipClass(std::size_t index) const;
    std::size_t GetZVRelationshipClassCount() const;
    ///@}
    /// NULL when `index` is out of range or the reference is not loaded.
    ///@{
    CZVSchema* GetReferencedSchema(unsigned long index) const;
    std::size_t GetReferenceCount() const;
    ///@}

    // --- Lookup -----------------------------------------------------------
    /// The first class named exactly `name` in this schema, then in each
    /// loaded referenced schema in order, depth first (each schema once), if
    /// its type matches `classTypeMask`; NULL otherwise.
    ///@{
    CZVClass* FindZVClass(const wchar_t* name, unsigned long classTypeMask);
    CZVRelationshipClass* FindZVRelationshipClass(const wchar_t* name, unsigned long classTypeMask);
    ///@}
    /// In the referenced schema of that name (or this one): ZVXMLLogicError
    /// for NULL, ZVXMLDomainError when the schema is not among the references.
    ///@{
    CZVClass* FindZVClassUsingSchemaName(const wchar_t* className, const wchar_t* schemaName,
                                         unsigned long classTypeMask);
    CZVClass* FindZVClassUsingPrefix(const wchar_t* className, const wchar_t* prefix, unsigned long classTypeMask);
    ///@}
    /// "prefix:name" looks in the schema of that prefix as
    /// FindZVClassUsingPrefix does; a plain name as FindZVClass. A prefix no
    /// reference goes by names the first loaded referenced schema (depth
    /// first) whose own prefix it is, so that every name GetRelativeClassName
    /// gives is found again (it uses the class's own schema's prefix).
    CZVClass* FindZVClassUsingFullName(const wchar_t* fullName, unsigned long classTypeMask);
    /// The relationship-class forms of the three lookups above.
    ///@{
    CZVRelationshipClass* FindZVRelationshipClassUsingSchemaName(const wchar_t* className, const wchar_t* schemaName,
                                                                 unsigned long classTypeMask);
    CZVRelationshipClass* FindZVRelationshipClassUsingPrefix(const wchar_t* className, const wchar_t* prefix,
                                                             unsigned long classTypeMask);
    CZVRelationshipClass* FindZVRelationshipClassUsingFullName(const wchar_t* fullName, unsigned long classTypeMask);
    ///@}

    /// This schema for its own name; else the first reference of that name
    /// whose version satisfies `version` (NULL: any; else the same major
    /// version and an equal or newer minor, major and minor compared as
    /// numbers, so "01.100" is newer than "01.99").
    CZVSchema* FindReferencedSchema(const wchar_t* schemaName, const wchar_t* version);
    /// As FindReferencedSchema, by prefix and of any version.
    CZVSchema* FindReferencedSchemaByPrefix(const wchar_t* prefix);

    /// Splits "prefix:name" at the first ":"; no ":" gives an empty prefix.
    /// ZVXMLFormatError for a name that starts with ":".
    static void ParseZVClassName(const wchar_t* fullName, std::wstring& prefix, std::wstring& className);
    /// The plain type name for a class of this schema, else its FullName();
    /// when this schema calls another schema by the class's own prefix, the
    /// class's name under the prefix of this schema's reference to the
    /// class's schema instead.
    ///@{
    std::wstring GetRelativeClassName(CZVClass* zvClass);
    std::wstring GetRelativeClassName(const wchar_t* fullName);
    ///@}

    /// Calls `callback` for each class of this schema in order, then (when
    /// `includeReferencedSchemas`) of each loaded referenced schema, depth
    /// first, each schema once; the first non-NULL result ends the walk and
    /// is returned.
    ///@{
    void* IterateOverAllClasses(void* (*callback)(CZVClass*, void*), void* context, int includeReferencedSchemas);
    void* IterateOverAllRelationshipClasses(void* (*callback)(CZVRelationshipClass*, void*), void* context,
                                            int includeReferencedSchemas);
    ///@}

    // --- The value pool ---------------------------------------------------
    // One process-wide stack of primitive values, behind one lock held for
    // each whole operation. Any failure inside becomes ZVXMLRuntimeError
    // "Unknown exception in CZVSchema::<operation>".

    /// Parks `value` (unchanged) on the pool, which then owns it.
    static void RecycleZVValue(CZVValue* value);
    /// The value parked last, re-linked to `property` (null, named after it,
    /// empty), or a new one when the pool is empty. The caller owns it.
    static CZVValue* GetRecycledZVValue(CZVProperty* property);
    /// Destroys every parked value.
    static void FreeRecycledValues();

    // --- Hooks ------------------------------------------------------------
    /// The hooks the legacy relationship upgrade calls; NULL (none) by
    /// default. Referenced schemas loaded by the reader do not inherit them.
    ///@{
    ZVClassResolutionHelper GetZVClassResolutionHelper() const;
    void SetZVClassResolutionHelper(ZVClassResolutionHelper helper);
    ZVRelationshipUpgradeHandler GetZVRelationshipUpgradeHandler() const;
    void SetZVRelationshipUpgradeHandler(ZVRelationshipUpgradeHandler handler);
    ///@}

    /// The library's own helpers; defined inside the library only.
    struct Internals;

private:
    friend class CZVClassIterator;
    friend class CZVReferencedSchemaIterator;
    friend struct Internals;

    static void* findZVClassCallback(CZVClass* zvClass, void* context);
    static void* findZVRelationshipClassCallback(CZVRelationshipClass* relationshipClass, void* context);

    std::wstring m_schemaName;
    std::wstring m_schemaPrefix;
    std::wstring m_displayLabel;
    unsigned long m_versionMajor = 0;
    unsigned long m_versionMinor = 0;
    std::wstring m_referenceSearchPath;
    ZVRelationshipUpgradeHandler m_relationshipUpgradeHandler = nullptr;
    ZVClassResolutionHelper m_classResolutionHelper = nullptr;
    std::vector<CZVSchemaReference> m_references;
    /// The schemas this schema owns through its references (the public
    /// reference fields may be changed by a host; ownership follows this).
    std::vector<CZVSchema*> m_referencedSchemas;
    std::vector<CZVClass*> m_classes; ///< owned
    std::vector<CZVRelationshipClass*> m_relationshipClasses; ///< owned
    /// Classes RemoveAllClasses took out of the list while custom attributes
    /// the schema keeps still used them; they live as long as the schema
    /// (and its copies). Owned.
    std::vector<CZVClass*> m_retiredClasses;
    /// Name indexes that keep adding and finding classes fast in large
    /// schemas; they always answer as the linear rules above would.
    ///@{
    std::unique_ptr<detail::ClassNameIndex> m_classIndex;
    std::unique_ptr<detail::ClassNameIndex> m_relationshipIndex;
    ///@}
    /// Links the schemas whose last owner let go while another schema was
    /// being destroyed; they are destroyed one after the other, not nested.
    CZVSchema* m_pNextToDestroy = nullptr;
};

/// Walks a schema's own classes (not relationship classes). Begin() must come
/// before Next(); both return NULL past the end, and Next() before Begin().
class ZVXML_API CZVClassIterator {
public:
    /// Throws ZVXMLRuntimeError for NULL.
    explicit CZVClassIterator(CZVSchema* schema);
    /// The first item, and the one after the last returned; NULL past the end.
    ///@{
    CZVClass* Begin();
    CZVClass* Next();
    ///@}

private:
    CZVSchema* m_pZVSchema;
    std::size_t m_position = 0;
    bool m_started = false;
};

/// Walks a schema's references, in the order they were added.
class ZVXML_API CZVReferencedSchemaIterator {
public:
    /// Throws ZVXMLRuntimeError for NULL.
    explicit CZVReferencedSchemaIterator(CZVSchema* schema);
    /// The first item, and the one after the last returned; NULL past the end.
    ///@{
    CZVSchemaReference* Begin();
    CZVSchemaReference* Next();
    ///@}

private:
    CZVSchema* m_pZVSchema;
    std::size_t m_position = 0;
    bool m_started = false;
};

} // namespace ZVXML

#endif // ZVXML_SCHEMA_H
