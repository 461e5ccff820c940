// Node-valued fields. Each holds one counted reference on every node it
// stores: storing takes one, replacing or removing releases one, and
// destroying the field releases all. A field built with its container node
// (every node-valued member of a node class: `children{this}`) refuses a
// node that would make the container its own descendant.
#pragma once

#include "scene/core/Node.h"
#include "scene/model/Field.h"
#include "scene/model/MFields.h"

#include <algorithm>
#include <vector>

// The node fields seen without their node class: what the reader and the
// writer use, whatever class a field holds.
class CVSFNodeBase : public CVSField, public CVNodeHolder {
public:
    virtual CVNode* GetNode() const = 0;
    // Stores the node when it is of the field's class (or null) and would
    // close no cycle; false otherwise.
    virtual bool SetNode(CVNode* node) = 0;

    int HeldCount() const override { return 1; }
    CVNode* HeldAt(int) const override { return GetNode(); }

protected:
    explicit CVSFNodeBase(CVNode* container) : CVSField(SFNODE), CVNodeHolder(container) { SetContainer(container); }
};

class CVMFNodeBase : public CVMField, public CVNodeHolder {
public:
    virtual CVNode* GetNodeAt(int index) const = 0;
    // Appends the node when it is of the list's class and would close no
    // cycle; false otherwise.
    virtual bool AddNode(CVNode* node) = 0;

    int HeldCount() const override { return GetNum(); }
    CVNode* HeldAt(int index) const override { return GetNodeAt(index); }

protected:
    explicit CVMFNodeBase(CVNode* container) : CVMField(MFNODE), CVNodeHolder(container) { SetContainer(container); }
};

template <class T = CVNode>
class CVSFNode : public CVSFNodeBase {
    LUMO_INLINE_CLASS(CVSFNode, "CVSFNode", CVSField)

public:
    CVSFNode() : CVSFNodeBase(nullptr) {}
    explicit CVSFNode(CVNode* container) : CVSFNodeBase(container) {}
    CVNode* GetNode() const override { return mValue; }
    bool SetNode(CVNode* node) override
    {
        if (node && !node->IsKindOf<T>())
            return false;
        return SetValue(static_cast<T*>(node));
    }
    ~CVSFNode() override { SetValue(nullptr); }

    T* GetValue() const { return mValue; }
    operator T*() const { return mValue; }
    T* operator->() const { return mValue; }
    // The new node is referenced before the old one is released, so storing
    // the held node again is safe. False (nothing changed) when the node
    // would close a cycle.
    bool SetValue(T* node)
    {
        if (node && node != mValue && WouldCloseCycle(node))
            return false;
        if (node)
            node->Ref();
        if (mValue)
            mValue->Unref();
        mValue = node;
        return true;
    }
    CVSFNode& operator=(T* node)
    {
        SetValue(node);
        return *this;
    }
    bool Clone(const CVSFNode& other) { return SetValue(other.mValue); }

private:
    T* mValue = nullptr;
};

template <class T = CVNode>
class CVMFNode : public CVMFNodeBase {
    LUMO_INLINE_CLASS(CVMFNode, "CVMFNode", CVMField)

public:
    CVMFNode() : CVMFNodeBase(nullptr) {}
    explicit CVMFNode(CVNode* container) : CVMFNodeBase(container) {}
    CVNode* GetNodeAt(int index) const override { return (*this)[index]; }
    bool AddNode(CVNode* node) override
    {
        if (!node || !node->IsKindOf<T>())
            return false;
        return Add(static_cast<T*>(node));
    }
    ~CVMFNode() override { RemoveAll(); }

    int GetNum() const override { return int(mNodes.size()); }
    // Shrinking releases the dropped nodes; growing adds nulls.
    void SetSize(int size, int = -1) override
    {
        if (size < 0)
            lumo::ThrowBadFieldIndex(size, GetNum());
        for (size_t i = size_t(size); i < mNodes.size(); ++i)
            Release(mNodes[i]);
        mNodes.resize(size_t(size), nullptr);
    }
    T* operator[](int index) const { return mNodes[Checked(index)]; }
    const std::vector<T*>& GetNodes() const { return mNodes; }

    // A null node is ignored. The node-storing calls return false, changing
    // nothing, for a node that would close a cycle.
    bool Add(T* node)
    {
        if (!node)
            return false;
        if (WouldCloseCycle(node))
            return false;
        node->Ref();
        mNodes.push_back(node);
        return true;
    }
    // Grows the list when the index is at or past the end.
    bool SetAt(int index, T* node)
    {
        if (index < 0)
            lumo::ThrowBadFieldIndex(index, GetNum());
        if (node && WouldCloseCycle(node))
            return false;
        if (node)
            node->Ref();
        if (size_t(index) < mNodes.size())
            Release(mNodes[size_t(index)]);
        else
            mNodes.resize(size_t(index) + 1, nullptr);
        mNodes[size_t(index)] = node;
        return true;
    }
    bool InsertAt(int index, T* node)
    {
        if (index < 0)
            lumo::ThrowBadFieldIndex(index, GetNum());
        if (node && WouldCloseCycle(node))
            return false;
        if (size_t(index) > mNodes.size())
            mNodes.resize(size_t(index), nullptr);
        if (node)
            node->Ref();
        mNodes.insert(mNodes.begin() + index, node);
        return true;
    }
    void RemoveAt(int index)
    {
        T* node = mNodes[Checked(index)];
        mNodes.erase(mNodes.begin() + index);
        Release(node);
    }
    void RemoveAll()
    {
        // Detach first: releasing a node may run code that looks at this list.
        std::vector<T*> nodes;
        nodes.swap(mNodes);
        for (T* node : nodes)
            Release(node);
    }
    // Index of the first element equal to node, -1 when absent.
    int Find(const T* node) const
    {
        auto it = std::find(mNodes.begin(), mNodes.end(), node);
        return it == mNodes.end() ? -1 : int(it - mNodes.begin());
    }
    // Nodes that would close a cycle here are left out.
    void Clone(const CVMFNode& other)
    {
        if (&other == this)
            return;
        std::vector<T*> nodes;
        nodes.reserve(other.mNodes.size());
        for (T* node : other.mNodes)
            if (!node || !WouldCloseCycle(node)) {
                if (node)
                    node->Ref();
                nodes.push_back(node);
            }
        RemoveAll();
        mNodes.swap(nodes);
    }

private:
    static void Release(T* node)
    {
        if (node)
            node->Unref();
    }
    size_t Checked(int index) const
    {
        if (index < 0 || size_t(index) >= mNodes.size())
            lumo::ThrowBadFieldIndex(index, GetNum());
        return size_t(index);
    }

    std::vector<T*> mNodes;
};
