// The built-in classes and global functions, and the hooks through which
// arrays, clips and other built-in objects answer for properties of their own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "player/avm1/machine.h"

namespace player {
class SpriteInstance;
struct DisplayObject;
}

namespace avm1 {

// Globals and every class, called once by the machine.
void installGlobals(Machine& m);
void installObjectClasses(Machine& m);  // Object, Function, Boolean, Number, Error, AsBroadcaster
void installArray(Machine& m);
void installString(Machine& m);
void installMath(Machine& m);
// What ASnative(200, n) gives past Math's own entries: a function that reads
// its first two arguments as numbers, like every Math function, and gives NaN.
Value mathBeyondTable(Machine& m, Call& c);
void installDate(Machine& m);
void installMovieClip(Machine& m);
void installColor(Machine& m);
void installInput(Machine& m);  // Key, Mouse, Stage
void installSound(Machine& m);
void installTextField(Machine& m);  // after MovieClip
void installGeom(Machine& m);       // flash.geom: Point, Rectangle, Matrix
void installColorTransform(Machine& m);  // flash.geom: ColorTransform, Transform; after MovieClip and Matrix
void installSystem(Machine& m);  // System, ExternalInterface, LocalConnection; after flash.geom
void installNativeTable(Machine& m);  // ASnative
void installMovieClipLoader(Machine& m);
void installFilters(Machine& m);
// ExternalInterface's _toAS, _arrayToAS, _objectToAS, _argumentsToAS, _escapeXML and _unescapeXML.
void installExternalValueReaders(Machine& m, Object* externalInterface);
void installXml(Machine& m);           // XMLNode, XML
void installStyleSheet(Machine& m);    // TextField.StyleSheet; after TextField
void installNetworkClasses(Machine& m);  // LoadVars, SharedObject, NetConnection, NetStream, XMLSocket
void installTextSnapshot(Machine& m);  // TextSnapshot, MovieClip.getTextSnapshot; after MovieClip
void installTextFormat(Machine& m);    // TextFormat, TextField's text format methods; after TextField
void installButton(Machine& m);
void installBitmapData(Machine& m);  // flash.display.BitmapData, MovieClip.attachBitmap; after flash.geom
void installDeviceClasses(Machine& m);   // Selection, ContextMenu, Camera, Microphone, Video, PrintJob, ...  // flash.filters, MovieClip.filters, blendMode, cacheAsBitmap; after flash.geom
// ASnative(major, minor) of the filters' property accessors; null for others.
FunctionObject* filterNative(Machine& m, int major, int minor);
// The flash and flash.geom package objects, made on first use.
Object* flashPackage(Machine& m);
Object* geomPackage(Machine& m);
Object* displayPackage(Machine& m);
// A flash.geom.Rectangle.
Object* makeRectangle(Machine& m, const Value& x, const Value& y, const Value& width, const Value& height);

// Text for XML, with & < > " ' written as entities; and read back.
std::string escapeXmlText(const std::string& s);
// XML text with its five named entities (&lt; &gt; &amp; &quot; &apos;) read.
std::string unescapeXmlText(const std::string& s);
// Text as escape() and unescape() give it.
std::string escapeText(const std::string& s);
std::string unescapeText(const std::string& s);

// Natives for methods that answer the same whatever they are given.
Value returnNothing(Machine& m, Call& c);
Value returnNull(Machine& m, Call& c);
Value returnFalse(Machine& m, Call& c);
Value returnZero(Machine& m, Call& c);
Value returnMinusOne(Machine& m, Call& c);
// Calls self.method(args) once the frame's scripts have run, as the answer to
// a request (a load, a connection) would come.
void callAfterScripts(Machine& m, const Value& self, const char* method, std::vector<Value> args);

// Gives `o` the listener methods of AsBroadcaster.
void makeBroadcaster(Machine& m, Object* o);

// Properties objects answer for themselves (array elements and length, clip
// properties and children); false when the name is not theirs.
bool getSpecial(Machine& m, Object* o, const String& name, bool own, Value* out);
bool setSpecial(Machine& m, Object* o, const String& name, const Value& value);
bool removeSpecial(Machine& m, Object* o, const String& name);
bool hasSpecial(Machine& m, Object* o, const String& name);
void enumerateSpecial(Machine& m, Object* o, std::vector<String>* names);

// Array elements: true when the name is an element index.
bool arrayIndex(const String& name, uint32_t* index);
bool arrayGetOwn(ArrayObject* a, const String& name, Value* out);
// Sets an element or the length; false leaves any other name to the caller
// (after the length has followed a numeric name).
bool arraySetOwn(Machine& m, ArrayObject* a, const String& name, const Value& value);
// The flags of a present element of that name; null for any other name.
uint32_t* arrayElementFlags(ArrayObject* a, const String& name);

// Functions, super and classes.
FunctionObject* makeScriptFunction(Machine& m, ScriptFunction f);
// `super` inside a method found on `home` (a prototype), for `thisValue`;
// inConstructor when the function runs by `new` or super().
Object* makeSuperObject(Machine& m, Object* home, const Value& thisValue, bool inConstructor);
Object* isSuperObject(const Value& v);
Object* superPrototype(Object* super);
Value superThis(Object* super);
// Where super's members are looked up: home's prototype, none when that is
// a clip (super never makes an object of what the chain holds).
Object* superBase(Object* home);
// Where super() looks up __constructor__: a constructor's own prototype, or
// for a method the prototype above the object it was found on.
Object* superConstructorFrom(Object* super);
// The object on o's prototype chain that holds `name`.
Object* findMethodHome(Machine& m, Object* o, const String& name);
bool instanceOf(Machine& m, const Value& object, const Value& constructor);
void setInterfaces(Machine& m, Object* prototype, const std::vector<Value>& interfaces);
// The primitive a Boolean, Number or String constructor gave an object: a
// boxed one holds it, a subclass's object (made by super()) keeps it aside.
void storePrimitive(Object* o, const Value& v);
Value storedPrimitive(Object* o);

// Clip events: the clip's onClipEvent blocks, then its handler property.
void dispatchClipEvent(Machine& m, player::SpriteInstance& sprite, uint32_t event);
// Fires the setInterval or setTimeout callback due first, if one is due by
// `until` (getTimer milliseconds); false when none is.
bool runNextTimer(Machine& m, double until);
// Input for Key, Mouse and dragged clips.
bool dragTo(Machine& m);
void broadcastMouse(Machine& m, const char* event);
void broadcastKey(Machine& m, bool down);
void stopAllSounds(Machine& m);
// Hands the LocalConnection messages sent this frame to their receivers.
void deliverLocalMessages(Machine& m);

// The script object of an edit text on `parent`'s display list (SWF 6 and
// later); undefined for other objects.
Value textObject(Machine& m, player::SpriteInstance& parent, player::DisplayObject& o);
// A text field's target path ("_level0.field"); undefined for other values.
Value textTargetPath(Machine& m, const Value& v);
// Gives the keyboard focus to a field (null: to none), telling the fields
// (onKillFocus, onSetFocus) and Selection's listeners.
void moveTextFocus(Machine& m, player::SpriteInstance* parent, player::DisplayObject* object);
// A user changed a field's text: its onChanged handler.
void textChanged(Machine& m, player::SpriteInstance& parent, player::DisplayObject& object);
// The place of the field a value stands for; false for other values.
bool textFieldPlace(const Value& v, player::SpriteInstance** parent, player::DisplayObject** object);
// Keeps the script objects of the text fields on `sprite`'s list.
void markTextObjects(Machine& m, player::SpriteInstance& sprite);
// The script object of a video the timeline placed (made on first use), or
// undefined for other objects; kept alive while the video is on the stage.
Value videoObject(Machine& m, player::SpriteInstance& parent, player::DisplayObject& o);
void markVideoObjects(Machine& m, player::SpriteInstance& sprite);

// Variables by target path from `base`, for bound edit text; run within
// Machine::runOutside, as getters may run.
bool getVariableByPath(Machine& m, player::SpriteInstance& base, const std::string& path, Value* out);
void setVariableByPath(Machine& m, player::SpriteInstance& base, const std::string& path, const Value& value);
// Whether the clip answers the pointer as a button does (on (press) blocks,
// onRelease handlers, ...).
bool clipTakesPointer(Machine& m, player::SpriteInstance& sprite);

}  // namespace avm1
