// XML documents read, edited and printed; LoadVars text; SharedObject kept
// for the run; loads and connections that reach nothing report failure.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/machine.h"

namespace {

using avm1::Call;
using avm1::Machine;
using avm1::Value;

class Classes : public ::testing::Test {
 protected:
  Classes() : m(8, {}) {}

  Value global(const char* name) { return m.get(m.global(), name); }
  Value make(const char* name, std::vector<Value> args = {}) {
    return m.construct(global(name), args.data(), args.size());
  }
  Value call(const Value& object, const char* method, std::vector<Value> args = {}) {
    return m.callMethod(object, method, args.data(), args.size());
  }
  Value get(const Value& object, const char* name) { return m.getMember(object, name); }
  std::string text(const Value& v) { return m.toString(v).str(); }
  Value xml(const char* source) { return make("XML", {Value(source)}); }
  void runTimers() {
    while (avm1::runNextTimer(m, 1e15)) {
    }
  }

  Machine m;
};

std::vector<std::string> heard;

Value record(Machine& m, Call& c) {
  heard.push_back(m.toString(c.arg(0)).str());
  return Value();
}

}  // namespace

TEST_F(Classes, XmlReadsElementsAttributesTextAndPrintsThemBack) {
  Value doc = xml("<?xml version=\"1.0\"?><!DOCTYPE note><a x=\"1\" y='two'><b>hi &amp; bye</b><c/>"
                  "<![CDATA[<raw>]]></a>");
  EXPECT_EQ(0, m.toNumber(get(doc, "status")));
  EXPECT_EQ("<?xml version=\"1.0\"?>", text(get(doc, "xmlDecl")));
  EXPECT_EQ("<!DOCTYPE note>", text(get(doc, "docTypeDecl")));
  Value a = get(doc, "firstChild");
  EXPECT_EQ("a", text(get(a, "nodeName")));
  EXPECT_EQ(1, m.toNumber(get(a, "nodeType")));
  EXPECT_EQ("two", text(get(get(a, "attributes"), "y")));
  EXPECT_EQ(3, m.toNumber(get(get(a, "childNodes"), "length")));
  Value b = get(a, "firstChild");
  EXPECT_EQ("hi & bye", text(get(get(b, "firstChild"), "nodeValue")));
  EXPECT_EQ(3, m.toNumber(get(get(b, "firstChild"), "nodeType")));
  EXPECT_EQ("c", text(get(get(b, "nextSibling"), "nodeName")));
  EXPECT_TRUE(get(b, "previousSibling").isNull());
  EXPECT_EQ("<raw>", text(get(get(a, "lastChild"), "nodeValue")));
  EXPECT_EQ(
      "<?xml version=\"1.0\"?><!DOCTYPE note><a x=\"1\" y=\"two\"><b>hi &amp; bye</b><c />&lt;raw&gt;</a>",
      text(call(doc, "toString")));
  // A node prints only itself.
  EXPECT_EQ("<b>hi &amp; bye</b>", text(call(b, "toString")));
}

TEST_F(Classes, XmlWhitespaceIsKeptUnlessIgnoredAndFaultsSetStatus) {
  Value spaced = xml("<a>\n  <b/>\n</a>");
  EXPECT_EQ(3, m.toNumber(get(get(get(spaced, "firstChild"), "childNodes"), "length")));

  Value plain = make("XML");
  m.setMember(plain, "ignoreWhite", Value(true));
  call(plain, "parseXML", {Value("<a>\n  <b/>\n</a>")});
  EXPECT_EQ("<a><b /></a>", text(call(plain, "toString")));

  struct Case {
    const char* source;
    double status;
  };
  const Case faults[] = {{"<a><b></a>", -10}, {"<a><b>", -9},      {"</a>", -10},
                         {"<a x=1/>", -8},    {"<!-- open", -5},   {"<a><![CDATA[x", -2},
                         {"<?xml ", -3},      {"<!DOCTYPE", -4},   {"<a", -6}};
  for (const Case& c : faults)
    EXPECT_EQ(c.status, m.toNumber(get(xml(c.source), "status"))) << c.source;
  // What was read before a fault stays in the tree.
  EXPECT_EQ("<a><b /></a>", text(call(xml("<a><b/>"), "toString")));
  // Parsing again replaces the earlier content and status.
  Value doc = xml("<a>");
  Value earlier = get(doc, "firstChild");
  call(doc, "parseXML", {Value("<z/>")});
  EXPECT_TRUE(get(earlier, "parentNode").isNull());
  EXPECT_EQ(0, m.toNumber(get(doc, "status")));
  EXPECT_EQ("<z />", text(call(doc, "toString")));
}

TEST_F(Classes, XmlEditsKeepTheLinksAndRefuseLoops) {
  Value doc = make("XML");
  Value root = call(doc, "createElement", {Value("root")});
  Value one = call(doc, "createElement", {Value("one")});
  Value two = call(doc, "createTextNode", {Value("2 < 3")});
  call(doc, "appendChild", {root});
  call(root, "appendChild", {two});
  call(root, "insertBefore", {one, two});
  EXPECT_EQ("<root><one />2 &lt; 3</root>", text(call(doc, "toString")));
  EXPECT_EQ(m.toString(one).str(), text(get(two, "previousSibling")));
  EXPECT_TRUE(m.strictEquals(root, get(one, "parentNode")));
  EXPECT_TRUE(m.toBoolean(call(root, "hasChildNodes")));
  // Scripts cannot rewrite the links.
  m.setMember(root, "childNodes", Value("broken"));
  m.setMember(one, "nextSibling", Value::null());
  EXPECT_EQ(2, m.toNumber(get(get(root, "childNodes"), "length")));
  EXPECT_TRUE(m.strictEquals(two, get(one, "nextSibling")));

  // Appending a node that has a parent moves it.
  Value other = call(doc, "createElement", {Value("other")});
  call(doc, "appendChild", {other});
  call(other, "appendChild", {one});
  EXPECT_EQ("<root>2 &lt; 3</root><other><one /></other>", text(call(doc, "toString")));
  EXPECT_TRUE(get(two, "previousSibling").isNull());

  // A node never holds itself or its ancestors: printing stays finite.
  call(one, "appendChild", {other});
  call(one, "appendChild", {one});
  EXPECT_EQ("<other><one /></other>", text(call(other, "toString")));

  // Copies are separate trees; a shallow copy has no children.
  Value deep = call(root, "cloneNode", {Value(true)});
  Value shallow = call(root, "cloneNode", {Value(false)});
  call(two, "removeNode");
  EXPECT_EQ("<root />", text(call(root, "toString")));
  EXPECT_EQ("<root>2 &lt; 3</root>", text(call(deep, "toString")));
  EXPECT_EQ("<root />", text(call(shallow, "toString")));
  EXPECT_TRUE(get(deep, "parentNode").isNull());
  EXPECT_TRUE(get(two, "parentNode").isNull());

  // XMLNode made directly, text and element.
  EXPECT_EQ("a&amp;b", text(call(make("XMLNode", {3, Value("a&b")}), "toString")));
  EXPECT_EQ("<n />", text(call(make("XMLNode", {1, Value("n")}), "toString")));
}

TEST_F(Classes, LoadVarsDecodesAndEncodesAndItsLoadsFailAfterTheFrame) {
  Value vars = make("LoadVars");
  call(vars, "decode", {Value("name=Li+Lei&city=%E5%8C%97&empty=&=skipped&flag")});
  EXPECT_EQ("Li Lei", text(get(vars, "name")));
  EXPECT_EQ("\xE5\x8C\x97", text(get(vars, "city")));
  EXPECT_EQ("", text(get(vars, "empty")));
  EXPECT_TRUE(get(vars, "flag").isUndefined());

  Value out = make("LoadVars");
  m.setMember(out, "a b", Value("x&y=z"));
  m.setMember(out, "n", Value(3));
  std::string encoded = text(call(out, "toString"));
  EXPECT_NE(std::string::npos, encoded.find("a%20b=x%26y%3Dz"));
  EXPECT_NE(std::string::npos, encoded.find("n=3"));
  Value back = make("LoadVars");
  call(back, "decode", {Value(encoded.c_str())});
  EXPECT_EQ("x&y=z", text(get(back, "a b")));

  heard.clear();
  m.setMember(vars, "onLoad", Value(m.newNative(record)));
  EXPECT_TRUE(m.toBoolean(call(vars, "load", {Value("vars.txt")})));
  EXPECT_TRUE(heard.empty());  // not while the script runs
  runTimers();
  EXPECT_EQ((std::vector<std::string>{"false"}), heard);
  EXPECT_FALSE(m.toBoolean(get(vars, "loaded")));

  heard.clear();
  Value doc = make("XML");
  m.setMember(doc, "onLoad", Value(m.newNative(record)));
  call(doc, "load", {Value("feed.xml")});
  runTimers();
  EXPECT_EQ((std::vector<std::string>{"false"}), heard);
}

TEST_F(Classes, SharedObjectKeepsOneObjectPerNameForTheRun) {
  Value cls = global("SharedObject");
  Value settings = call(cls, "getLocal", {Value("settings")});
  ASSERT_TRUE(settings.isObject());
  m.setMember(get(settings, "data"), "volume", Value(7));
  EXPECT_TRUE(m.toBoolean(call(settings, "flush")));
  Value again = call(cls, "getLocal", {Value("settings")});
  EXPECT_TRUE(m.strictEquals(settings, again));
  EXPECT_EQ(7, m.toNumber(get(get(again, "data"), "volume")));
  EXPECT_GT(m.toNumber(call(again, "getSize")), 0);
  // Another path is another store.
  EXPECT_FALSE(m.strictEquals(settings, call(cls, "getLocal", {Value("settings"), Value("/")})));
  // Names a file system would trip on, and no name, give null.
  for (const char* bad : {"a/../b\\c", "x:y", "", "what?"})
    EXPECT_TRUE(call(cls, "getLocal", {Value(bad)}).isNull()) << bad;
  call(settings, "clear");
  EXPECT_TRUE(get(get(again, "data"), "volume").isUndefined());
  // Scripts cannot reach the store to replace it.
  m.setMember(cls, "sharedObjects", Value(1));
  EXPECT_TRUE(m.strictEquals(again, call(cls, "getLocal", {Value("settings")})));
  // The store survives a collection with no script holding it.
  m.collect();
  EXPECT_TRUE(get(get(call(cls, "getLocal", {Value("settings")}), "data"), "volume").isUndefined());
}

TEST_F(Classes, DevicesAndConnectionsAnswerAsAbsent) {
  Value selection = global("Selection");
  EXPECT_TRUE(call(selection, "getFocus").isNull());
  EXPECT_FALSE(m.toBoolean(call(selection, "setFocus", {Value("field")})));
  EXPECT_EQ(-1, m.toNumber(call(selection, "getCaretIndex")));
  // Listeners are still heard, and the methods cannot be replaced.
  heard.clear();
  Value listener = make("Object");
  m.setMember(listener, "onSetFocus", Value(m.newNative(record)));
  call(selection, "addListener", {listener});
  m.setMember(selection, "addListener", Value(1));
  call(selection, "broadcastMessage", {Value("onSetFocus"), Value("field")});
  EXPECT_EQ((std::vector<std::string>{"field"}), heard);
  EXPECT_EQ("function", text(m.typeOf(get(selection, "addListener"))));
  EXPECT_TRUE(call(global("Camera"), "get").isNull());
  EXPECT_TRUE(call(global("Microphone"), "get").isNull());
  EXPECT_FALSE(m.toBoolean(call(make("PrintJob"), "start")));

  heard.clear();
  Value connection = make("NetConnection");
  m.setMember(connection, "onStatus", Value(m.newNative([](Machine& mm, Call& c) {
    heard.push_back(mm.toString(mm.getMember(c.arg(0), "code")).str());
    return Value();
  })));
  EXPECT_FALSE(m.toBoolean(call(connection, "connect", {Value("rtmp://example.invalid/app")})));
  EXPECT_TRUE(m.toBoolean(call(connection, "connect", {Value::null()})));
  runTimers();
  EXPECT_EQ((std::vector<std::string>{"NetConnection.Connect.Failed", "NetConnection.Connect.Success"}), heard);

  Value menu = make("ContextMenu");
  call(get(menu, "customItems"), "push", {make("ContextMenuItem", {Value("About"), Value()})});
  call(menu, "hideBuiltInItems");
  EXPECT_FALSE(m.toBoolean(get(get(menu, "builtInItems"), "print")));
  Value copy = call(menu, "copy");
  Value item = m.getMember(get(copy, "customItems"), "0");
  EXPECT_EQ("About", text(get(item, "caption")));
  EXPECT_TRUE(m.toBoolean(get(item, "enabled")));
  EXPECT_FALSE(m.strictEquals(item, m.getMember(get(menu, "customItems"), "0")));
}

TEST_F(Classes, StyleSheetsReadCssAndKeepCopiesOfStyles) {
  Value sheetClass = m.getMember(global("TextField"), "StyleSheet");
  Value sheet = m.construct(sheetClass, nullptr, 0);
  EXPECT_TRUE(m.toBoolean(call(sheet, "parseCSS", {Value("/* head */ H1, .Note { font-size: 12px; color:#FF0000 }\n"
                                                          "h1 { font-weight: bold; }")})));
  Value h1 = call(sheet, "getStyle", {Value("h1")});
  EXPECT_EQ("12px", text(get(h1, "fontSize")));
  EXPECT_EQ("bold", text(get(h1, "fontWeight")));
  EXPECT_EQ("#FF0000", text(get(call(sheet, "getStyle", {Value(".note")}), "color")));
  EXPECT_EQ("h1,.note", text(call(sheet, "getStyleNames")));

  // What getStyle gives and what setStyle took are copies.
  m.setMember(h1, "fontStyle", Value("italic"));
  EXPECT_TRUE(get(call(sheet, "getStyle", {Value("h1")}), "fontStyle").isUndefined());
  Value mine = make("Object");
  m.setMember(mine, "display", Value("block"));
  call(sheet, "setStyle", {Value("P"), mine});
  m.setMember(mine, "display", Value("none"));
  EXPECT_EQ("block", text(get(call(sheet, "getStyle", {Value("p")}), "display")));
  call(sheet, "setStyle", {Value("p"), Value::null()});
  EXPECT_TRUE(call(sheet, "getStyle", {Value("p")}).isNull());

  // Text that is not CSS changes nothing.
  for (const char* bad : {"h2 { color: red", "h2 { color }", "{ color: red }", "/* open"})
    EXPECT_FALSE(m.toBoolean(call(sheet, "parseCSS", {Value(bad)}))) << bad;
  EXPECT_TRUE(call(sheet, "getStyle", {Value("h2")}).isNull());
  call(sheet, "clear");
  EXPECT_EQ("", text(call(sheet, "getStyleNames")));
}

TEST_F(Classes, LongAndDeepDocumentsParseInLinearTime) {
  std::string wide = "<list>";
  for (int i = 0; i < 50000; ++i) wide += "<i/>";
  wide += "</list>";
  Value list = get(xml(wide.c_str()), "firstChild");
  EXPECT_EQ(50000, m.toNumber(get(get(list, "childNodes"), "length")));
  EXPECT_EQ("i", text(get(get(get(list, "lastChild"), "previousSibling"), "nodeName")));

  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<d>";
  for (int i = 0; i < 20000; ++i) deep += "</d>";
  Value doc = xml(deep.c_str());
  EXPECT_EQ(0, m.toNumber(get(doc, "status")));
  // Printing stops at a sane depth instead of running out of stack.
  EXPECT_LT(text(call(doc, "toString")).size(), deep.size());
  m.collect();

  // Inserting before a node that is not a child leaves the node where it was.
  Value a = xml("<a><b/></a><c/>");
  Value b = get(get(a, "firstChild"), "firstChild");
  Value c = get(get(a, "firstChild"), "nextSibling");
  call(get(a, "firstChild"), "insertBefore", {b, c});
  call(get(a, "firstChild"), "insertBefore", {b, b});
  EXPECT_EQ("<a><b /></a><c />", text(call(a, "toString")));
}

TEST_F(Classes, NamespacesAreFoundOnTheNodeOrItsAncestors) {
  Value doc = xml("<r xmlns=\"urn:default\" xmlns:a=\"urn:a\"><a:x xmlns:a=\"urn:inner\"><y/></a:x></r>");
  Value y = get(get(get(doc, "firstChild"), "firstChild"), "firstChild");
  EXPECT_EQ("urn:inner", text(call(y, "getNamespaceForPrefix", {Value("a")})));
  EXPECT_EQ("urn:default", text(call(y, "getNamespaceForPrefix", {Value("")})));
  EXPECT_TRUE(call(y, "getNamespaceForPrefix", {Value("b")}).isNull());
  EXPECT_EQ("a", text(call(y, "getPrefixForNamespace", {Value("urn:inner")})));
  EXPECT_EQ("", text(call(y, "getPrefixForNamespace", {Value("urn:default")})));
  EXPECT_TRUE(call(y, "getPrefixForNamespace", {Value("urn:none")}).isNull());
}

TEST_F(Classes, ExternalInterfaceReadsValuesFromTheirXml) {
  Value ei = m.getMember(m.getMember(global("flash"), "external"), "ExternalInterface");
  Value doc = xml("<object><property id=\"n\"><number> -2.5</number></property>"
                  "<property id=\"list\"><array><property id=\"0\"><string>a&amp;b</string></property>"
                  "<property id=\"1\"><true/></property></array></property>"
                  "<property id=\"bad\"><number>1x</number></property></object>");
  Value object = call(ei, "_toAS", {get(doc, "firstChild")});
  EXPECT_EQ(-2.5, m.toNumber(get(object, "n")));
  EXPECT_TRUE(std::isnan(m.toNumber(get(object, "bad"))));
  Value list = get(object, "list");
  EXPECT_EQ("a&b,true", text(list));
  EXPECT_EQ("boolean", text(m.typeOf(m.getMember(list, "1"))));

  Value args = call(ei, "_argumentsToAS", {get(xml("<arguments><null/><false/><number>7</number></arguments>"),
                                                "firstChild")});
  EXPECT_EQ("null,false,7", text(args));
  // Anything else reads as nothing, or as an empty list.
  EXPECT_TRUE(call(ei, "_toAS", {Value("<true/>")}).isUndefined());
  EXPECT_EQ(0, m.toNumber(get(call(ei, "_arrayToAS", {Value(3)}), "length")));

  Value escaped = call(ei, "_escapeXML", {Value("<a href='x'>&\"</a>")});
  EXPECT_EQ("&lt;a href=&apos;x&apos;&gt;&amp;&quot;&lt;/a&gt;", text(escaped));
  EXPECT_EQ("<a href='x'>&\"</a>", text(call(ei, "_unescapeXML", {escaped})));
}
