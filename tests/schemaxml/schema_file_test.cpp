// Loading a schema file: the root element, its namespace and attributes, the
// children of the root and the result codes.
#include "schema_file_support.h"
#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using zvtest::SchemaText;

namespace {

const std::wstring kNamespace =
    L"http://www.molvane.com/schemas/Molvane.ZVXML.2.0";

std::wstring NamespaceLine(const std::wstring &path,
                           const std::wstring &found) {
  return L"Import file '" + path + L"' is using namespace '" + found +
         L"', which is not compatible with ZVXML 2.0. Use namespace '" +
         kNamespace + L"'";
}

std::string Root(const std::string &name, const std::string &namespaceUri) {
  return "<" + name + " xmlns='" + namespaceUri +
         "' schemaName='Other' nameSpacePrefix='o'><ZVClass "
         "typeName='Ignored'/></" +
         name + ">";
}

// The schema a failed read must leave untouched.
void ExpectUntouched(CZVSchema &schema) {
  EXPECT_STREQ(schema.GetSchemaName(), L"Plant");
  EXPECT_STREQ(schema.GetSchemaPrefix(), L"p");
  EXPECT_EQ(schema.GetZVClassCount(), 0u);
}

} // namespace

TEST(SchemaFileRoot, ResultCodesAndTheirLogLines) {
  const std::string v2 = "http://www.molvane.com/schemas/Molvane.ZVXML.2.0";
  const std::string legacy = "http://www.molvane.com/schemas/1.2/ZVXML";
  struct Case {
    std::string text;
    int result;
    std::wstring namespaceFound;
  } cases[] = {
      {Root("ZVSchema", "urn:other"), 1000, L"urn:other"},
      {"<ZVSchema schemaName='Other' nameSpacePrefix='o'/>", 1000, L""},
      {Root("ZVSchema", legacy), 1001, zvtest::Widen(legacy)},
      {Root("ZVSchema", "HTTP://WWW.MOLVANE.COM/SCHEMAS/1.2/zvxml"), 1001,
       L"HTTP://WWW.MOLVANE.COM/SCHEMAS/1.2/zvxml"},
      {Root("zvSchema", v2), 32768, L""},
      // Neither the letter case of the namespace nor other top-level nodes
      // matter.
      {"<!-- first --><?tool run?>" +
           Root("ZVSchema", "HTTP://www.Molvane.com/Schemas/molvane.zvxml.2.0"),
       0, L""},
  };
  zvtest::ScratchFolder folder;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const std::wstring path = folder.Write("root.zvschema.xml", c.text);
    zvtest::LogCapture log;
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_EQ(schema.ReadXML(path.c_str()), c.result);
    std::vector<std::wstring> expected;
    if (c.result == 0) {
      EXPECT_STREQ(schema.GetSchemaName(), L"Other");
    } else {
      ExpectUntouched(schema);
      expected.push_back(c.result == 32768
                             ? L"Missing ZVSchema element in YMR Schema file " +
                                   path
                             : NamespaceLine(path, c.namespaceFound));
    }
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_ERROR), expected);
  }
}

TEST(SchemaFileRoot, RootLogLinesAreFinishedTextOfAtMost1024Characters) {
  zvtest::ScratchFolder folder;
  // A "%" in the path must reach the log as it stands.
  const std::wstring percent =
      folder.Write("100%s%d.zvschema.xml", Root("ZVSchema", "urn:%s"));
  const std::string longUri = "urn:" + std::string(3000, 'x');
  const std::wstring longer =
      folder.Write("long.zvschema.xml", Root("ZVSchema", longUri));
  zvtest::LogCapture log;
  CZVSchema schema(L"p", L"Plant", L"");
  EXPECT_EQ(schema.ReadXML(percent.c_str()), 1000);
  EXPECT_EQ(schema.ReadXML(longer.c_str()), 1000);
  const std::vector<std::wstring> lines = log.texts(L"ZVXML", LOG_SEV_ERROR);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], NamespaceLine(percent, L"urn:%s"));
  EXPECT_EQ(lines[1],
            NamespaceLine(longer, zvtest::Widen(longUri)).substr(0, 1024));
}

TEST(SchemaFileRoot, RootAttributesSetTheSchemaAndOthersAreIgnoredSilently) {
  zvtest::ScratchFolder folder;
  const std::wstring path =
      folder.Write("attributes.zvschema.xml",
                   SchemaText("xmlns:x='urn:x' schemaName='Pipes' "
                              "nameSpacePrefix='pp' version='3.14' "
                              "description='All the pipes' displayLabel='Pipes "
                              "and more' x:extra='1' unknown='2'",
                              ""));
  zvtest::LogCapture log;
  CZVSchema schema(L"p", L"Plant", L"before");
  EXPECT_EQ(schema.ReadXML(path.c_str()), 0);
  EXPECT_STREQ(schema.GetSchemaName(), L"Pipes");
  EXPECT_STREQ(schema.GetSchemaPrefix(), L"pp");
  EXPECT_EQ(schema.GetVersionMajor(), 3u);
  EXPECT_EQ(schema.GetVersionMinor(), 14u);
  EXPECT_STREQ(schema.GetDescription(), L"All the pipes");
  EXPECT_STREQ(schema.GetDisplayLabel(), L"Pipes and more");
  EXPECT_TRUE(log.texts(L"ZVXML").empty());
}

// Found by fuzzing: "-1.00" read as version 18446744073709551615.00, which
// was then written into a file that no longer loaded.
TEST(SchemaFileRoot, ANegativeVersionIsRefusedWhenRead) {
  zvtest::ScratchFolder folder;
  const std::wstring path = folder.Write(
      "negative.zvschema.xml",
      SchemaText("schemaName='Units' version='-1.00' nameSpacePrefix='u'", ""));
  CZVSchema schema(L"p", L"Plant", L"");
  EXPECT_ZV_THROW(schema.ReadXML(path.c_str()), ZVXMLFormatError,
                  L"CZVSchema::SetVersionString... '-1.00' The characters "
                  L"before the '.' must be numeric! Format is "
                  L"MM.mm where MM is major version and mm is minor version.");
}

TEST(SchemaFileRoot, TemporaryStandsForANameNotSet) {
  zvtest::ScratchFolder folder;
  const std::wstring noName = folder.Write(
      "noname.zvschema.xml", SchemaText("nameSpacePrefix='pp'", ""));
  const std::wstring noPrefix = folder.Write(
      "noprefix.zvschema.xml", SchemaText("schemaName='Pipes'", ""));
  const std::wstring literal = folder.Write(
      "literal.zvschema.xml",
      SchemaText("schemaName='temporary' nameSpacePrefix='pp'", ""));

  CZVSchema unnamed(L"temporary", L"temporary", L"");
  EXPECT_ZV_THROW(unnamed.ReadXML(noName.c_str()), ZVXMLFormatError,
                  L"ZVSchema's schemaName cannot be blank!");
  CZVSchema unprefixed(L"temporary", L"temporary", L"");
  EXPECT_ZV_THROW(unprefixed.ReadXML(noPrefix.c_str()), ZVXMLFormatError,
                  L"ZVSchema's nameSpacePrefix cannot be blank!");
  CZVSchema named(L"p", L"Plant", L"");
  EXPECT_ZV_THROW(named.ReadXML(literal.c_str()), ZVXMLFormatError,
                  L"ZVSchema's schemaName cannot be blank!");

  // A file without the names is fine for a schema that already has them.
  CZVSchema preset(L"p", L"Plant", L"");
  EXPECT_EQ(preset.ReadXML(noName.c_str()), 0);
  EXPECT_STREQ(preset.GetSchemaName(), L"Plant");
  EXPECT_STREQ(preset.GetSchemaPrefix(), L"pp");
}

TEST(SchemaFileRoot, ChildrenOtherThanTheKnownElementsAndCommentsAreRefused) {
  zvtest::ScratchFolder folder;
  const std::string named = "schemaName='Pipes' nameSpacePrefix='pp'";
  struct Case {
    std::string children;
    std::wstring message;
  } cases[] = {
      {"<ZVClass typeName='A'/>some text<ZVClass typeName='B'/>",
       L"Unrecognized element under ZVSchema element: '#text'"},
      {"<x:Extra xmlns:x='urn:x'/>",
       L"Unrecognized element under ZVSchema element: 'x:Extra'"},
      {"<?tool run?>", L"Unrecognized element under ZVSchema element: 'tool'"},
      {"<![CDATA[x]]>",
       L"Unrecognized element under ZVSchema element: '#cdata-section'"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.children);
    const std::wstring path =
        folder.Write("children.zvschema.xml", SchemaText(named, c.children));
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(schema.ReadXML(path.c_str()), ZVXMLFormatError, c.message);
    EXPECT_EQ(schema.GetZVClassCount(),
              0u); // found in the first pass, before any class is added
  }
  const std::wstring comments = folder.Write(
      "comments.zvschema.xml",
      SchemaText(named, "<!-- a --><ZVClass typeName='A'/><!-- b -->"));
  CZVSchema schema(L"p", L"Plant", L"");
  EXPECT_EQ(schema.ReadXML(comments.c_str()), 0);
  EXPECT_EQ(schema.GetZVClassCount(), 1u);
}

TEST(SchemaFileRoot, FilesThatDoNotLoadAreLoggedThenReportedAsAFailedCheck) {
  zvtest::ScratchFolder folder;
  const std::wstring doctype = folder.Write(
      "doctype.zvschema.xml",
      "<?xml version='1.0'?>\n<!DOCTYPE ZVSchema [<!ENTITY big 'x'>]>\n" +
          SchemaText("", "&big;"));
  const std::wstring broken = folder.Write(
      "broken.zvschema.xml", "<ZVSchema>\n  <ZVClass>\n</ZVSchema>");
  const std::wstring missing =
      zvtest::Widen(folder.path() + "/missing.zvschema.xml");
  const std::pair<std::wstring, std::wstring> cases[] = {
      {doctype, L"line 2, position 1 parsing ZVSchema file " + doctype +
                    L". DOCTYPE is not allowed"},
      {broken, L"line 3, position "},
      {missing,
       L"line 0, position 0 parsing ZVSchema file " + missing + L". "}};
  for (const auto &[path, lineStart] : cases) {
    SCOPED_TRACE(path);
    zvtest::LogCapture log;
    CZVSchema schema(L"p", L"Plant", L"");
    try {
      schema.ReadXML(path.c_str());
      ADD_FAILURE() << "no exception";
    } catch (const ZVXMLRuntimeError &error) {
      EXPECT_TRUE(
          zvtest::IsCheckedCallError(error.Message(), L"CheckXmlLoad(pXmlDoc)"))
          << error.Message();
      EXPECT_STREQ(error.Location(), L"");
    }
    const std::vector<std::wstring> lines = log.texts(L"ZVXML", LOG_SEV_ERROR);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(lineStart, 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(L" parsing ZVSchema file " + path + L". "),
              std::wstring::npos);
    ExpectUntouched(schema);
  }
}

// Classes named forwards through "BaseClass" and relationship ends: the
// complete file set.
TEST(SchemaFilePasses, TheBaseClassAttributeSeesOnlyEarlierClasses) {
  zvtest::ScratchFolder folder;
  const std::wstring path =
      folder.Write("attribute.zvschema.xml",
                   SchemaText("schemaName='Pipes' nameSpacePrefix='pp'",
                              "<ZVClass typeName='Pipe'/><ZVClass "
                              "typeName='Valve' baseClass='Part'/>"
                              "<ZVClass typeName='Part'/>"));
  CZVSchema schema(L"p", L"Plant", L"");
  EXPECT_ZV_THROW(schema.ReadXML(path.c_str()), ZVXMLLogicError,
                  L"Attempted to set BaseClass of ZVClass 'Valve' to 'Part' "
                  L"but no such class can be found in "
                  L"this ZVSchema or referenenced ZVSchemas.");
  // Nothing is rolled back: the class added before the failing one stays.
  ASSERT_EQ(schema.GetZVClassCount(), 1u);
  EXPECT_STREQ(schema.GetZVClassByIndex(0)->GetTypeName(), L"Pipe");
}

TEST(SchemaFilePasses,
     TheSchemasOwnCustomAttributesMayUseClassesDefinedLaterInTheFile) {
  zvtest::ScratchFolder folder;
  const std::wstring path = folder.Write(
      "custom.zvschema.xml",
      SchemaText(
          "schemaName='Pipes' nameSpacePrefix='pp'",
          "<ZVCustomAttributes><Owner><Name>first</Name></Owner></"
          "ZVCustomAttributes>"
          "<ZVClass typeName='Owner' isCustomAttributeClass='True'>"
          "  <ZVProperty propertyName='Name' typeName='string'/></ZVClass>"
          "<ZVCustomAttributes><Owner><Name>second</Name></Owner></"
          "ZVCustomAttributes>"));
  CZVSchema schema(L"p", L"Plant", L"");
  ASSERT_EQ(schema.ReadXML(path.c_str()), 0);
  ASSERT_EQ(schema.GetZVCustomAttributeCount(), 2u);
  EXPECT_STREQ(schema.GetZVCustomAttribute(0)->GetPropertyValue(L"Name"),
               L"first");
  EXPECT_STREQ(schema.GetZVCustomAttribute(1)->GetPropertyValue(L"Name"),
               L"second");
}

TEST(SchemaFilePrefixes, AFileWithAPrefixOnEveryElementReadsCompletely) {
  CZVSchema schema(L"p", L"Plant", L"");
  ASSERT_EQ(
      schema.ReadXML(
          zvtest::DataFile("prefixed/Prefixed.01.00.zvschema.xml").c_str()),
      0);
  ASSERT_EQ(schema.GetZVCustomAttributeCount(), 1u);
  CZVCustomAttribute *note = schema.GetZVCustomAttribute(0);
  EXPECT_STREQ(note->GetPropertyValue(L"Text"), L"whole schema");
  auto *lines =
      dynamic_cast<ZVArrayValue *>(note->GetPropertyValue(L"Lines", true));
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->GetLength(), 2u);

  CZVClass *equipment = schema.FindZVClass(L"Equipment", ZVCLASSTYPE_ANY);
  ASSERT_NE(equipment, nullptr);
  EXPECT_STREQ(equipment->GetBaseClass(), L"Item");
  EXPECT_STREQ(equipment->GetZVCustomAttribute(0)->GetPropertyValue(L"Text"),
               L"on a class");
  EXPECT_STREQ(equipment->FindProperty(L"Tag")
                   ->GetZVCustomAttribute(0)
                   ->GetPropertyValue(L"Text"),
               L"on a property");

  CZVRelationshipClass *holds =
      schema.FindZVRelationshipClass(L"Holds", ZVCLASSTYPE_ANY);
  ASSERT_NE(holds, nullptr);
  EXPECT_EQ(holds->m_source.m_className, L"Equipment");
  EXPECT_EQ(holds->m_source.m_keyVector, std::vector<std::wstring>{L"Tag"});
  EXPECT_STREQ(
      holds->m_source.Common().GetZVCustomAttribute(0)->GetPropertyValue(
          L"Text"),
      L"on an end");
  EXPECT_EQ(holds->m_targets.m_classNames, std::vector<std::wstring>{L"Item"});

  CZVRelationshipClass *oldHolds =
      schema.FindZVRelationshipClass(L"OldHolds", ZVCLASSTYPE_ANY);
  ASSERT_NE(oldHolds, nullptr);
  EXPECT_EQ(oldHolds->m_source.m_roleLabel, L"old holds");
  EXPECT_EQ(oldHolds->m_source.m_keyVector, std::vector<std::wstring>{L"Tag"});
  EXPECT_EQ(oldHolds->m_targets.m_classNames,
            std::vector<std::wstring>{L"Item"});
}
