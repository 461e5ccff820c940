// Node-valued fields. Each holds one counted reference on every node it
// stores: storing takes one, replacing or removing releases one, and
// destroying the field releases all.
#pragma once

#include "scene/core/Node.h"
#include "scene/model/Field.h"
#include "scene/model/MFields.h"

#include <algorithm>
#include <vector>

// The node fields seen without their node class: what the reader and the
// writer use, whatever class a field holds.
class CVSFNodeBase : public CVSField {
public:
    virtual CVNode* GetNode() const = 0;
    // Stores the node when it is of the field's class (or null); false otherwise.
    virtual bool SetNode(CVNode* node) = 0;

protected:
    CVSFNodeBase() : CVSField(SFNODE) {}
};

class CVMFNodeBase : public CVMField {
public:
    virtual CVNode* GetNodeAt(int index) const = 0;
    // Appends the node when it is of the list's class; false otherwise.
    virtual bool AddNode(CVNode* node) = 0;

protected:
    CVMFNodeBase() : CVMField(MFNODE) {}
};

template <class T = CVNode>
class CVSFNode : public CVSFNodeBase {
    LUMO_INLINE_CLASS(CVSFNode, "CVSFNode", CVSField)

public:
    CVSFNode() = default;
    CVNode* GetNode() const override { return mValue; }
    bool SetNode(CVNode* node) override
    {
        if (node && !node->IsKindOf<T>())
            return false;
        SetValue(static_cast<T*>(node));
        return true;
    }
    ~CVSFNode() override { SetValue(nullptr); }

    T* GetValue() const { return mValue; }
    operator T*() const { return mValue; }
    T* operator->() const { return mValue; }
    // The new node is referenced before the old one is released, so storing
    // the held node again is safe.
    void SetValue(T* node)
    {
        if (node)
            node->Ref();
        if (mValue)
            mValue->Unref();
        mValue = node;
    }
    CVSFNode& operator=(T* node)
    {
        SetValue(node);
        return *this;
    }
    void Clone(const CVSFNode& other) { SetValue(other.mValue); }

private:
    T* mValue = nullptr;
};

template <class T = CVNode>
class CVMFNode : public CVMFNodeBase {
    LUMO_INLINE_CLASS(CVMFNode, "CVMFNode", CVMField)

public:
    CVMFNode() = default;
    CVNode* GetNodeAt(int index) const override { return (*this)[index]; }
    bool AddNode(CVNode* node) override
    {
        if (!node || !node->IsKindOf<T>())
            return false;
        Add(static_cast<T*>(node));
        return true;
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

    // A null node is ignored.
    void Add(T* node)
    {
        if (!node)
            return;
        node->Ref();
        mNodes.push_back(node);
    }
    // Grows the list when the index is at or past the end.
    void SetAt(int index, T* node)
    {
        if (index < 0)
            lumo::ThrowBadFieldIndex(index, GetNum());
        if (node)
            node->Ref();
        if (size_t(index) < mNodes.size())
            Release(mNodes[size_t(index)]);
        else
            mNodes.resize(size_t(index) + 1, nullptr);
        mNodes[size_t(index)] = node;
    }
    void InsertAt(int index, T* node)
    {
        if (index < 0)
            lumo::ThrowBadFieldIndex(index, GetNum());
        if (size_t(index) > mNodes.size())
            mNodes.resize(size_t(index), nullptr);
        if (node)
            node->Ref();
        mNodes.insert(mNodes.begin() + index, node);
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
    void Clone(const CVMFNode& other)
    {
        if (&other == this)
            return;
        for (T* node : other.mNodes)
            if (node)
                node->Ref();
        RemoveAll();
        mNodes = other.mNodes;
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
